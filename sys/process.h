#pragma once
// A child process whose standard input is a pipe from this process.

#include <cstddef>
#include <memory>
#include <string>

namespace sys {

class Process {
 public:
  Process();
  ~Process();  // closes the pipe and waits briefly, never kills
  Process(Process&&) noexcept;
  Process& operator=(Process&&) noexcept;

  // commandLine is a Windows-style command line: the program quoted, then options.
  // pipeBytes sizes the pipe where the platform allows it.
  bool start(const std::string& commandLine, size_t pipeBytes, bool hideWindow);
  // Starts a child that inherits none of our handles (no input pipe), in a
  // console of its own: the decoders, which read and write only files.
  bool startAlone(const std::string& commandLine, bool hideWindow);
  bool running() const;
  // Returns the bytes written; fewer when the child has gone.
  size_t writeInput(const void* data, size_t bytes);
  void closeInput();
  // Waits up to timeoutMs for the child to end; true when it has.
  bool wait(int timeoutMs);
  int exitCode() const;  // -1 while unknown
  // Ends the child at once (with whatever it started) and waits for it to
  // go, so that the files it held are free again. Nothing when it has ended.
  void terminate();

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

}  // namespace sys

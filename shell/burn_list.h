#pragma once
// Handing the open files to the CD burning program: a list file of their
// paths, one per line, and the argument that names it.

#include <string>
#include <vector>

namespace shell {

constexpr const char* kBurnListName = "burn.txt";
constexpr const char* kUnsavedFilesMessage = "You must save all the openning file(s) before copying to CD.";
constexpr const char* kUnsavedFilesCaption = "Saving files required";
constexpr const char* kBurnProgressTitle = "Run VuzivoApp";

enum class DiscKind { Audio, Data };

// Every path followed by CR LF.
std::string burnListText(const std::vector<std::string>& paths);
// "-type audio -list <path>" or "-type data -list <path>", the path quoted
// when it holds a blank.
std::string burnArgument(DiscKind kind, const std::string& listPath);

}  // namespace shell

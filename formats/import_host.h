#pragma once
// What importing a file of another format needs from the program around it:
// the progress dialog's texts and bar, a Cancel that keeps the interface
// alive while it is polled, the registered decoder components and their
// installation on demand. The editor gives one bound to its progress dialog;
// tests give a fake.

#include <cstdint>
#include <string>

#include "core/source_status.h"
#include "sys/folders.h"

class ImportHost {
 public:
  virtual ~ImportHost() = default;
  // The dialog's title, with the input path as its first line.
  virtual void showImport(const std::string& title, const std::string& inputPath) = 0;
  virtual void setProgress(int64_t done, int64_t total) = 0;
  // True once the user cancelled; drains the interface's messages.
  virtual bool cancelled() = 0;
  // The registered program of a component; empty when there is none.
  virtual std::string componentPath(const std::string& name) = 0;
  // Downloads and runs the component's installer: Done, Cancelled, Failed.
  virtual JobResult installComponent(const std::string& name) = 0;
  // Where the temporary files of imports go.
  virtual std::string outputFolder() { return sys::tempFolder(); }
};

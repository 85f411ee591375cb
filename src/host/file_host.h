// The notebook-file host: the host seam over one notebook file.
//
// Connect opens the file (notebook_store.h: locked, read, checked) and takes its
// current worksheet or the one named at construction. The run then works on
// the in-memory notebook. Release writes the notebook back atomically, and
// only when the run changed something; an application destroyed without
// Release leaves the file exactly as it was. If the file was changed by
// someone else after Connect, Release does not overwrite it: the results go
// to a sibling file "NAME.korund-YYYYMMDD-HHMMSS.json" and Release fails with
// a text that says so.
//
// The lock is held from Connect until Release or the application's end; a
// second Release does nothing and returns true. Numbers that JSON cannot
// hold (infinities, NaN) are written as empty cells.
#pragma once

#include <ctime>
#include <memory>
#include <string>

#include "host/host.h"

namespace korund::host {

class FileHost : public Host {
 public:
  // worksheet: the worksheet to work on; "" takes the notebook's current one.
  explicit FileHost(std::string path, std::string worksheet = "")
      : path_(std::move(path)), worksheet_(std::move(worksheet)) {}

  // nullptr with *error ("FILE: problem") when the file is locked, missing,
  // unreadable, no valid notebook, or has no such worksheet.
  std::unique_ptr<Application> Connect(std::string* error) override;

 private:
  std::string path_;
  std::string worksheet_;
};

// Where results go when the notebook at `path` changed under a run: beside
// it, "STEM.korund-YYYYMMDD-HHMMSS.json", with "-2", "-3"... when taken.
std::string ResultsPathFor(const std::string& path, std::time_t when);

}  // namespace korund::host

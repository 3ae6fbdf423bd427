#include "convert/mode_line.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::scratch_path;
using testing::write_file;

TEST(ModeLine, EachFormThatSaysCpp) {
  const struct {
    std::string head;
    bool cpp;
  } cases[] = {
      // Emacs: the lone mode, or "mode:" among other variables; any case.
      {"// <vector> -*- C++ -*-\n", true},
      {"// -*- c++ -*-\n", true},
      {"/* -*-C++-*- */\n", true},
      {"// -*- mode: c++ -*-\n", true},
      {"// -*- Mode: C++; tab-width: 8; indent-tabs-mode: nil -*-\n", true},
      {"// -*- tab-width: 8; mode:c++; -*-\n", true},
      {"// -*- c++-mode -*-\n", true},
      {"// -*- C -*-\n", false},
      {"// -*- mode: c -*-\n", false},
      {"// -*- coding: utf-8 -*-\n", false},
      {"// -*- C++\n", false},       // never closed
      {"// -*- C++ -*-", true},      // no line end
      {"// -*- C++ -*-\r\n", true},  // CR LF
      {"// -*- Objective-C++ -*-\n", false},
      {"// -*- mode: objc++ -*-\n", false},
      // vim: "set ... :" or options separated by blanks or ':'.
      {"// vim: set ft=cpp:\n", true},
      {"// vim: set ts=4 ft=cpp sw=4:\n", true},
      {"// vim: se\tft=cpp:\n", true},
      {"// vim: settings ft=cpp\n", true},  // no set form: options separated by blanks
      {"// vim: filetype=cpp\n", true},
      {"// vim:ft=cpp\n", true},
      {"// vi: ts=4:ft=cpp\n", true},
      {"// ex: ft=cpp\n", true},
      {"vim: ft=cpp\n", true},
      {"ex: ft=cpp\n", false},     // "ex:" needs a blank before it
      {"//vim: ft=cpp\n", false},  // so does "vim:" after text
      {"// vim: ft=c\n", false},
      {"// vim: ft=cpp2\n", false},
      {"// vim: set ts=4: ft=cpp\n", false},  // after the set form's ':' is text
      {"// gvim: ft=cpp\n", false},
      // Where it stands: within the first five lines, in a string too (as
      // an editor reads it).
      {"\n\n\n\n// -*- C++ -*-\n", true},
      {"\n\n\n\n\n// -*- C++ -*-\n", false},
      {"#!/bin/sh\n// vim: ft=cpp\n", true},
      {"const char* s = \"-*- C++ -*-\";\n", true},
      {"int main() {}\n", false},
      {"", false},
      {"\xEF\xBB\xBF// -*- C++ -*-\n", true},          // after a byte order mark
      {std::string("// -*- C++ -*-\n\0", 16), false},  // binary: a NUL byte
      {std::string("\0// -*- C++ -*-\n", 16), false},
  };
  for (const auto& c : cases) EXPECT_EQ(head_says_cpp(c.head), c.cpp) << c.head;
}

// The first kModeLineBytes of a file are read, no more; what cannot be
// read as a plain file says nothing.
TEST(ModeLine, FilesAreReadByTheirHead) {
  const std::string folder = scratch_path("mode-line");
  testing::make_folder(folder);
  const struct {
    const char* name;
    std::string bytes;
    bool cpp;
  } cases[] = {
      {"vector", "// <vector> -*- C++ -*-\n\n#include <bits/stl_vector.h>\n", true},
      {"empty", "", false},
      {"long-line", std::string(kModeLineBytes - 20, 'x') + " -*- C++ -*-\n", true},
      {"past-the-head", std::string(kModeLineBytes, 'x') + " -*- C++ -*-\n", false},
      {"binary",
       std::string("\x7F"
                   "ELF\0\0\0 -*- C++ -*-\n",
                   21),
       false},
      {"makefile", "# -*- makefile -*-\nall:\n", false},
  };
  for (const auto& c : cases) {
    write_file(folder + "/" + c.name, c.bytes);
    EXPECT_EQ(file_says_cpp((folder + "/" + c.name).c_str()), c.cpp) << c.name;
  }
  EXPECT_FALSE(file_says_cpp((folder + "/missing").c_str()));
  EXPECT_FALSE(file_says_cpp(folder.c_str())) << "a folder";
  EXPECT_FALSE(file_says_cpp(""));
}

}  // namespace
}  // namespace prismet

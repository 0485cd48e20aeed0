// Finding the book's start page beside the executable, and the two small helpers the
// search is built from.
#pragma once

#include <string>

// printf-style formatting into a std::string of whatever length the result needs.
std::string FormatStdString(const std::string& format, ...);

// Whether the file system reports the path as present, in any form.
bool PathExists(const char* path);

// The start page's full path, or empty when the install folder holds no book.
std::string FindStartPage();

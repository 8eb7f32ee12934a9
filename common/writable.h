// Whether a file can be written under a name, found before anything is
// written: the name and its folder are only looked at (stat, access), so
// that no file is made, truncated or touched by the test. POSIX.
#pragma once

#include <string>
#include <string_view>

// What stands in the way of writing a file under a name.
enum class WriteObstacle {
  None,               // the file can be made, or rewritten
  Folder,             // the name is a folder, or ends in "/"
  NoFolder,           // its folder does not exist
  NotAFolder,         // its folder, or one on its path, is something else
  FileNotWritable,    // the file exists and cannot be written
  FolderNotWritable,  // the file does not exist and cannot be made in its folder
  Unusable,           // no name, a NUL in it, too long, or a loop of links
};

// The name loses its leading and trailing blanks first, as the files opened
// do. A symbolic link is followed as an open for writing follows it: a link
// to nothing makes the file where it leads. Whether the file can be written
// is asked of the system for the user who runs the program, so a user with
// every permission (root) passes wherever the system lets it write.
WriteObstacle write_obstacle(std::string_view name);

// Where a name leads when its last part is a symbolic link, followed link by
// link as an open follows them, also to a file that does not exist yet (the
// folders on its path the system follows itself). The name is changed in
// place; false for a loop of links or one that cannot be read.
bool follow_links(std::string& path);

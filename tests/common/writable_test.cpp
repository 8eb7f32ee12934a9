// Whether a file can be written under a name: each obstacle on a small
// folder of files, folders and links, found without making, changing or
// touching anything there.
#include "writable.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "program_run.h"

namespace {

namespace fs = std::filesystem;
using testing_support::snapshot;
using testing_support::TempDir;
using testing_support::write_file;

// A read-only setting of the kernel: no one may write it or make a file
// beside it, root included.
const fs::path kReadOnlyFile = "/proc/sys/kernel/ostype";

struct Case {
  std::string name;  // in the test's folder unless it begins with "/"
  WriteObstacle obstacle;
};

void expect_obstacles(const TempDir& dir, std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    const std::string name = c.name.starts_with('/') ? c.name : (dir / c.name).string();
    SCOPED_TRACE(name);
    EXPECT_EQ(write_obstacle(name), c.obstacle);
  }
}

TEST(WriteObstacles, FilesFoldersAndLinks) {
  TempDir dir;
  write_file(dir / "plain.txt", "a file, not a folder");
  fs::create_directory(dir / "sub");
  fs::create_directory_symlink("sub", dir / "to_sub");
  fs::create_symlink("sub/made-there.txt", dir / "leads_to_sub");
  fs::create_symlink("nodir/made-there.txt", dir / "leads_nowhere");
  fs::create_symlink("loop", dir / "loop");
  const auto before = snapshot(dir.path());

  expect_obstacles(dir, {
                            {"plain.txt", WriteObstacle::None},  // rewritten
                            {"new.txt", WriteObstacle::None},    // made
                            {"sub/new.txt", WriteObstacle::None},
                            {"to_sub/new.txt", WriteObstacle::None},
                            {"leads_to_sub", WriteObstacle::None},  // made in sub
                            {"sub", WriteObstacle::Folder},
                            {"sub/", WriteObstacle::Folder},
                            {"to_sub", WriteObstacle::Folder},
                            {"new/", WriteObstacle::Folder},
                            {"nodir/new.txt", WriteObstacle::NoFolder},
                            {"nodir/deeper/new.txt", WriteObstacle::NoFolder},
                            {"leads_nowhere", WriteObstacle::NoFolder},
                            {"plain.txt/new.txt", WriteObstacle::NotAFolder},
                            {"plain.txt/", WriteObstacle::NotAFolder},
                            {"loop", WriteObstacle::Unusable},
                            {std::string(300, 'x'), WriteObstacle::Unusable},
                        });
  EXPECT_EQ(write_obstacle("  " + (dir / "new.txt").string() + "  "), WriteObstacle::None);
  EXPECT_EQ(write_obstacle(""), WriteObstacle::Unusable);
  EXPECT_EQ(write_obstacle("   "), WriteObstacle::Unusable);
  EXPECT_EQ(write_obstacle((dir / "a").string() + std::string(1, '\0') + "b"),
            WriteObstacle::Unusable);
  EXPECT_EQ(snapshot(dir.path()), before);
}

// Permissions that stop root too: the kernel's read-only settings.
TEST(WriteObstacles, ReadOnlyPlaceForEveryone) {
  if (!fs::exists(kReadOnlyFile)) GTEST_SKIP() << "no " << kReadOnlyFile << " here";
  TempDir dir;
  expect_obstacles(dir, {
                            {kReadOnlyFile.string(), WriteObstacle::FileNotWritable},
                            {(kReadOnlyFile.parent_path() / "new.ele").string(),
                             WriteObstacle::FolderNotWritable},
                        });
}

// Permission bits, which root passes over: a file and a folder without
// write permission.
TEST(WriteObstacles, PermissionBits) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes whatever the permission bits say";
  TempDir dir;
  write_file(dir / "read-only.txt", "");
  fs::create_directory(dir / "read-only");
  fs::permissions(dir / "read-only.txt", fs::perms::owner_read);
  fs::permissions(dir / "read-only", fs::perms::owner_read | fs::perms::owner_exec);
  expect_obstacles(dir, {
                            {"read-only.txt", WriteObstacle::FileNotWritable},
                            {"read-only/new.txt", WriteObstacle::FolderNotWritable},
                        });
  fs::permissions(dir / "read-only", fs::perms::owner_all);  // for the removal
}

}  // namespace

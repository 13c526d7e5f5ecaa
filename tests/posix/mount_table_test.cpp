#include "platform/posix/mount_table.h"

#include <gtest/gtest.h>

namespace solka {
namespace {

const char* const kMountInfo =
    "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
    "27 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
    "40 27 8:17 / /media/u/my\\040stick rw shared:5 master:2 - vfat /dev/sdb1 rw\n"
    "41 27 11:0 / /media/cd ro - iso9660 /dev/sr0 ro\n"
    "garbage line\n"
    "42 27 x:y / /broken rw - ext4 /dev/sdc rw\n"
    "43 27 0:50 / /mnt/a/ rw - tmpfs tmpfs rw\n"
    "44 27 0:51 / /mnt/a rw - ramfs ramfs rw";  // mounted over the one before, no final newline

TEST(MountTable, ParsesFieldsEscapesAndOptionalTags) {
  const std::vector<Mount> mounts = ParseMountInfo(kMountInfo);
  ASSERT_EQ(mounts.size(), 6u);
  EXPECT_EQ(mounts[1].mountPoint, "/");
  EXPECT_EQ(mounts[1].fsType, "ext4");
  EXPECT_EQ(mounts[1].major, 8u);
  EXPECT_EQ(mounts[1].minor, 2u);
  EXPECT_EQ(mounts[2].mountPoint, "/media/u/my stick");
  EXPECT_EQ(mounts[2].fsType, "vfat");
  EXPECT_EQ(mounts[3].fsType, "iso9660");
  EXPECT_EQ(mounts[4].mountPoint, "/mnt/a");
}

TEST(MountTable, LongestWholeComponentPrefixWins) {
  const std::vector<Mount> mounts = ParseMountInfo(kMountInfo);
  auto pointOf = [&](std::string_view path) { return MountHolding(mounts, path)->mountPoint; };
  EXPECT_EQ(pointOf("/media/u/my stick/song.mp3"), "/media/u/my stick");
  EXPECT_EQ(pointOf("/media/u/my sticker/song.mp3"), "/");
  EXPECT_EQ(pointOf("/proc"), "/proc");
  EXPECT_EQ(pointOf("/processes"), "/");
  EXPECT_EQ(MountHolding(mounts, "/mnt/a/x")->fsType, "ramfs");
  EXPECT_EQ(MountHolding({}, "/x"), nullptr);
}

}  // namespace
}  // namespace solka

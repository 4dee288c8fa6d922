// Which downloaded files count as programs.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"
#include "update/ExecutableTest.h"

namespace varnoket {
namespace {

// The first bytes of an ELF file: class, byte order and object type.
std::string ElfHeader(char elfClass, char byteOrder, unsigned type) {
  std::string h =
      "\x7f"
      "ELF";
  h += elfClass;
  h += byteOrder;
  h += '\x01';
  h.resize(16, '\0');
  const char low = static_cast<char>(type & 0xff);
  const char high = static_cast<char>(type >> 8);
  h += byteOrder == 1 ? std::string{low, high} : std::string{high, low};
  h.resize(64, '\0');
  return h;
}

TEST(IsExecutableProgram, ThisVeryTestProgramIsOne) {
  EXPECT_TRUE(IsExecutableProgram(std::filesystem::read_symlink("/proc/self/exe").string()));
}

TEST(IsExecutableProgram, ProgramsOfEitherClassAndByteOrder) {
  test::TempDir dir;
  test::WriteFile(dir / "exec64", ElfHeader(2, 1, 2));
  test::WriteFile(dir / "pie32", ElfHeader(1, 1, 3));
  test::WriteFile(dir / "big", ElfHeader(2, 2, 2));
  EXPECT_TRUE(IsExecutableProgram(dir / "exec64"));
  EXPECT_TRUE(IsExecutableProgram(dir / "pie32"));
  EXPECT_TRUE(IsExecutableProgram(dir / "big"));
}

TEST(IsExecutableProgram, RefusesWhatTheSystemWouldNotRun) {
  test::TempDir dir;
  test::WriteFile(dir / "text", "#!/bin/sh\necho hello\n");
  test::WriteFile(dir / "object", ElfHeader(2, 1, 1));  // relocatable
  test::WriteFile(dir / "core", ElfHeader(2, 1, 4));
  test::WriteFile(dir / "bigAsLittle", ElfHeader(2, 2, 0x200));
  test::WriteFile(dir / "badClass", ElfHeader(3, 1, 2));
  test::WriteFile(dir / "short", std::string("\x7f"
                                             "ELF\x02\x01",
                                             6));
  test::WriteFile(dir / "windows", "MZ\x90\x00" + std::string(60, '\0'));
  test::WriteFile(dir / "empty", "");
  for (const char* name :
       {"text", "object", "core", "bigAsLittle", "badClass", "short", "windows", "empty"})
    EXPECT_FALSE(IsExecutableProgram(dir / name)) << name;
  EXPECT_FALSE(IsExecutableProgram(dir / "missing"));
  EXPECT_FALSE(IsExecutableProgram(dir.path()));
}

}  // namespace
}  // namespace varnoket

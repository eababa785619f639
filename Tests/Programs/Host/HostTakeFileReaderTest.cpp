#include "Editor/TakeFileReader.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
const std::string Head = "# Slate: A004, Take: 12\nSubject,Source,WorldTime,FrameNumber,SubFrame\n";

struct FRow
{
	const char* Fault;
	std::string Text;
	int64_t Rows;
	int64_t Frames;
	double Duration;
	std::vector<std::string> Sources;
	/** Where the error must start; empty when the file must read whole. */
	std::string Error;
};

const FRow Rows[] = {
    {"rows counted as frames (a frame published on two ticks, two subjects side by side)",
     Head + "Cam,A,10,100,0\nCam,A,10.5,100,0.5\nCam,A,11,101,0\nProp,A,11,7,0\n",
     4,
     2,
     1.0,
     {"A"},
     ""},
    {"two sources' subjects of one name taken as one, or one source left out",
     Head + "Cam,A,10,100,0\nCam,B,10,100,0\nCam,B,12.5,101,0\n",
     3,
     2,
     2.5,
     {"A", "B"},
     ""},
    {"a quoted subject with a comma or a line break splitting its row", Head + "\"C,\"\"a\nm\",A,1,5,0\n\"C,\"\"a\nm\",A,2,6,0\n", 2, 2, 1.0, {"A"}, ""},
    {"a take of before the source column (no Source) refused", "Subject,WorldTime,FrameNumber\nCam,1,1\nCam,3,2\n", 2, 2, 2.0, {}, ""},
    {"a file that is no take file listed as an empty take", "hello\nworld\n", 0, 0, 0.0, {}, "line 1: no header"},
    {"an empty file listed as an empty take", "", 0, 0, 0.0, {}, "no header"},
    {"a row with a broken number read as 0, hiding the fault", Head + "Cam,A,10,100,0\nCam,A,ten,101,0\n", 1, 1, 0.0, {"A"}, "line 4: WorldTime 'ten'"},
    {"a frame number that is no whole number taken", Head + "Cam,A,10,1.5,0\n", 0, 0, 0.0, {}, "line 3: FrameNumber '1.5'"},
    {"an unclosed quote swallowing the rest without a word", Head + "Cam,A,10,100,0\n\"Cam,A,11,101,0\n", 1, 1, 0.0, {"A"}, "line 4: a quoted field"},
    {"a line without end read whole into memory", Head + std::string(FHostTakeFileReader::MaxRecordBytes + 10, 'x'), 0, 0, 0.0, {}, "line 3: longer than"},
};

// Faults caught: each row's.
TEST(HostTakeFileReader, CountsFramesDurationAndSourcesAndNamesWhatIsWrong)
{
	const std::string Path = testing::TempDir() + "HostTakeFileReaderTest_" + std::to_string(::getpid()) + ".csv";
	for (const FRow& Row : Rows)
	{
		std::ofstream(Path, std::ios::binary | std::ios::trunc) << Row.Text;
		FHostTakeFileSnapshot Take;
		FHostTakeFileReader::Read(Path, Take);
		EXPECT_EQ(Take.Rows, Row.Rows) << Row.Fault;
		EXPECT_EQ(Take.FrameCount, Row.Frames) << Row.Fault;
		EXPECT_DOUBLE_EQ(Take.DurationSeconds, Row.Duration) << Row.Fault;
		EXPECT_EQ(Take.Sources, Row.Sources) << Row.Fault;
		EXPECT_EQ(Take.Error.substr(0, Row.Error.size()), Row.Error) << Row.Fault << ": " << Take.Error;
		EXPECT_EQ(Take.Error.empty(), Row.Error.empty()) << Row.Fault << ": " << Take.Error;
	}
	std::filesystem::remove(Path);
	FHostTakeFileSnapshot Missing;
	FHostTakeFileReader::Read(Path, Missing);
	EXPECT_EQ(Missing.Error.rfind("cannot read the file: No such file", 0), 0u) << Missing.Error;
}
} // namespace

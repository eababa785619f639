#include "../CoreUObject/TestConfigSettings.h"
#include "ConfigStoreFixture.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::string_literals;

namespace
{
/** What the test puts in the project before the save, beside the file. */
enum class EPlant
{
	Nothing,
	FolderInPlaceOfTheFile,
	LinkAtAPredictableTemporaryName,
	ReadOnlyFolder,
	/** The file is a symbolic link to one in another folder, as a shared configuration is kept. */
	FileIsALink,
	/** The file belongs to another user (nobody), whom root saves it for. */
	OwnedByAnotherUser,
};

enum class EUnits
{
	Bytes,
	Utf16LE,
	Utf16BE,
};

struct FSaveCase
{
	const char* Name;
	/** The file before the save; the save sets Port to 4321, its other keys to the values they have. */
	std::string Before;
	/** How to spell Port=1234 in Before, to find the one line a save may change. */
	EUnits Units;
	mode_t Mode;
	EPlant Plant;
	bool bSaved;
	/** Error lines naming the file and Reason: one for a refused save, one more when the file could not be read. */
	int32 Errors;
	const char* Reason;
};

void PrintTo(const FSaveCase& Case, std::ostream* Out) { *Out << Case.Name; }

std::string Encode(EUnits Units, std::u16string_view Text)
{
	std::string Bytes;
	for (const char16_t Unit : Text)
	{
		if (Units == EUnits::Bytes)
		{
			Bytes.push_back(char(Unit));
			continue;
		}
		const char High = char(Unit >> 8);
		const char Low = char(Unit & 0xFF);
		Bytes += Units == EUnits::Utf16BE ? std::string{High, Low} : std::string{Low, High};
	}
	return Bytes;
}

const std::string Plugin = Section + "\nAddress=0.0.0.0\nPort=1234\nbEnabled=True\nGain=1.5\n"s;
const std::string PluginCrLf = Section + "\r\nAddress=0.0.0.0\r\nPort=1234\r\nbEnabled=True\r\nGain=1.5\r\n"s;
const std::u16string Utf16Text = u"[/Script/Engine.Engine]\r\nTitle=Caf\u00e9 \u2014 \U0001F3A5\r\n\r\n"
                                 u"[/Script/EngineTests.TestConfigSettings]\r\nAddress=0.0.0.0\r\nPort=1234\r\nbEnabled=True\r\nGain=1.5\r\n";
const std::string Utf16LE = "\xFF\xFE"s + Encode(EUnits::Utf16LE, Utf16Text);
const std::string Other = "[/Script/Engine.Engine]\n+ActiveGameNameRedirects=(OldGameName=\"A\")\n";

const FSaveCase SaveCases[] = {
    {"CrLf", "; project\r\n" + PluginCrLf + "\r\n[/Script/Engine.Engine]\r\nKey=1\r\n", EUnits::Bytes, 0644, EPlant::Nothing, true, 0, ""},
    {"NoNewLineAtTheEnd", Plugin + "\n[/Script/Engine.Engine]\nKey=1", EUnits::Bytes, 0644, EPlant::Nothing, true, 0, ""},
    {"Utf8ByteOrderMark", "\xEF\xBB\xBF" + Plugin + Other, EUnits::Bytes, 0644, EPlant::Nothing, true, 0, ""},
    {"Utf16LE", Utf16LE, EUnits::Utf16LE, 0644, EPlant::Nothing, true, 0, ""},
    {"Utf16BE", "\xFE\xFF"s + Encode(EUnits::Utf16BE, Utf16Text), EUnits::Utf16BE, 0644, EPlant::Nothing, true, 0, ""},
    {"NulInAComment", "; before\0after\n"s + Plugin + Other, EUnits::Bytes, 0644, EPlant::Nothing, true, 0, ""},
    {"Latin1InAnotherKey", "[/Script/Engine.Engine]\nTitle=Caf\xE9\n\n" + Plugin, EUnits::Bytes, 0644, EPlant::Nothing, true, 0, ""},
    {"KeepsItsPermissionBits", Plugin + Other, EUnits::Bytes, 0600, EPlant::Nothing, true, 0, ""},
    {"LinkAtAPredictableTemporaryName", Plugin, EUnits::Bytes, 0644, EPlant::LinkAtAPredictableTemporaryName, true, 0, ""},
    {"Latin1InTheKeyItSets", Section + "\nPort=12\xE9\n"s, EUnits::Bytes, 0644, EPlant::Nothing, false, 1, "bytes that are not UTF-8"},
    {"OddLengthUtf16", Utf16LE + "\n", EUnits::Utf16LE, 0644, EPlant::Nothing, false, 1, "odd number of bytes"},
    {"Unreadable", Plugin + Other, EUnits::Bytes, 0200, EPlant::Nothing, false, 2, "Permission denied"},
    {"FolderInPlaceOfTheFile", "", EUnits::Bytes, 0755, EPlant::FolderInPlaceOfTheFile, false, 2, "Is a directory"},
    {"FileIsALinkAndStaysOne", Plugin + Other, EUnits::Bytes, 0640, EPlant::FileIsALink, true, 0, ""},
    {"KeepsItsOwner", Plugin + Other, EUnits::Bytes, 0644, EPlant::OwnedByAnotherUser, true, 0, ""},
    {"FolderNotWritable", Plugin + Other, EUnits::Bytes, 0644, EPlant::ReadOnlyFolder, false, 1, "Permission denied"},
};

/**
 * Root reads and writes whatever the permission bits say; for as long as it lives, this thread's file access is
 * checked as an unprivileged user's instead (the file-system user id is the thread's own on Linux).
 */
class FUnprivilegedFileAccess
{
public:
	FUnprivilegedFileAccess()
	    : bSwitched(geteuid() == 0)
	{
		Switch(NobodyId);
	}
	~FUnprivilegedFileAccess() { Switch(0); }

private:
	static constexpr uid_t NobodyId = 65534;
	void Switch(uid_t Id) const
	{
		if (bSwitched)
		{
			setfsuid(Id);
		}
	}
	bool bSwitched;
};

class ConfigSave : public ConfigStore, public testing::WithParamInterface<FSaveCase>
{
protected:
	void TearDown() override
	{
		std::error_code Ignored;
		std::filesystem::permissions(IniPath.parent_path(), std::filesystem::perms(0755), Ignored);
		ConfigStore::TearDown();
	}

	std::set<std::string> ConfigFolderEntries() const
	{
		std::set<std::string> Names;
		for (const std::filesystem::directory_entry& Entry : std::filesystem::directory_iterator(IniPath.parent_path()))
		{
			Names.insert(Entry.path().filename().string());
		}
		return Names;
	}
	/** Whether the refusal the row is about really happens to this process, which may be root's. */
	bool IsDenied(EPlant Plant) const
	{
		const bool bFolder = Plant == EPlant::ReadOnlyFolder;
		const std::filesystem::path Probe = bFolder ? IniPath.parent_path() / "probe" : IniPath;
		const int File = bFolder ? open(Probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600) : open(Probe.c_str(), O_RDONLY);
		if (File < 0)
		{
			return true;
		}
		close(File);
		if (bFolder)
		{
			unlink(Probe.c_str());
		}
		return false;
	}
};
} // namespace

TEST_P(ConfigSave, ChangesOnlyTheLineItSetsOrRefusesAndLeavesTheFileAsItWas)
{
	const FSaveCase& Case = GetParam();
	const std::filesystem::path Folder = IniPath.parent_path();
	const std::filesystem::path PredictableName = IniPath.string() + ".tmp" + std::to_string(getpid());
	const std::filesystem::path Victim = Root / "victim";
	if (Case.Plant == EPlant::FolderInPlaceOfTheFile)
	{
		std::filesystem::create_directories(IniPath / "kept");
	}
	else
	{
		WriteIni(Case.Before);
	}
	const std::filesystem::path LinkTarget = Root / "Shared" / "Game.ini";
	if (Case.Plant == EPlant::FileIsALink)
	{
		std::filesystem::create_directories(LinkTarget.parent_path());
		std::filesystem::rename(IniPath, LinkTarget);
		std::filesystem::create_symlink("../Shared/Game.ini", IniPath);
	}
	if (Case.Plant == EPlant::OwnedByAnotherUser && chown(IniPath.c_str(), 65534, 65534) != 0)
	{
		GTEST_SKIP() << "only root can give the file to another user";
	}
	ASSERT_EQ(chmod(IniPath.c_str(), Case.Mode), 0);
	if (Case.Plant == EPlant::LinkAtAPredictableTemporaryName)
	{
		std::ofstream(Victim) << "victim";
		std::filesystem::create_symlink(Victim, PredictableName);
	}
	if (Case.Plant == EPlant::ReadOnlyFolder)
	{
		ASSERT_EQ(chmod(Folder.c_str(), 0555), 0);
	}
	const std::set<std::string> EntriesBefore = ConfigFolderEntries();

	FLogCapture Capture;
	{
		// Only the rows about permissions need an unprivileged user; the others must not depend on one.
		const bool bAboutPermissions = Case.Plant == EPlant::ReadOnlyFolder || (Case.Mode & 0400) == 0;
		std::optional<FUnprivilegedFileAccess> Unprivileged;
		if (bAboutPermissions)
		{
			Unprivileged.emplace();
			if (!IsDenied(Case.Plant))
			{
				GTEST_SKIP() << "this process reads and writes despite the permission bits (root without the right to change its file-system user id)";
			}
		}
		UTestConfigSettings Object;
		Object.Port = 4321;
		EXPECT_EQ(Object.UpdateDefaultConfigFile(), Case.bSaved);
	}

	std::string Expected = Case.Before;
	const std::string Old = Encode(Case.Units, u"Port=1234");
	if (Case.bSaved)
	{
		ASSERT_NE(Expected.find(Old), std::string::npos);
		Expected.replace(Expected.find(Old), Old.size(), Encode(Case.Units, u"Port=4321"));
	}
	if (Case.Plant != EPlant::FolderInPlaceOfTheFile)
	{
		EXPECT_EQ(ReadIni(), Expected);
	}
	struct stat Status = {};
	ASSERT_EQ(stat(IniPath.c_str(), &Status), 0);
	EXPECT_EQ(Status.st_mode & 07777, Case.Mode);
	EXPECT_EQ(ConfigFolderEntries(), EntriesBefore) << "a temporary file was left behind, or a planted one replaced";
	EXPECT_EQ(std::filesystem::is_symlink(IniPath), Case.Plant == EPlant::FileIsALink) << "the link was replaced by a file";
	EXPECT_EQ(Status.st_uid, Case.Plant == EPlant::OwnedByAnotherUser ? 65534u : geteuid()) << "the save changed the file's owner";
	if (Case.Plant == EPlant::LinkAtAPredictableTemporaryName)
	{
		EXPECT_TRUE(std::filesystem::is_symlink(PredictableName));
		EXPECT_EQ(ReadBytes(Victim), "victim");
	}

	int32 Errors = 0;
	for (const FLogCapture::FLine& Line : Capture.GetLines())
	{
		if (Line.Verbosity == ELogVerbosity::Error)
		{
			++Errors;
			EXPECT_NE(Line.Text.find(IniPath.string()), std::string::npos) << Line.Text;
			EXPECT_NE(Line.Text.find(Case.Reason), std::string::npos) << Line.Text;
		}
	}
	EXPECT_EQ(Errors, Case.Errors);
}

INSTANTIATE_TEST_SUITE_P(Rows, ConfigSave, testing::ValuesIn(SaveCases),
                         [](const testing::TestParamInfo<FSaveCase>& Info) { return std::string(Info.param.Name); });

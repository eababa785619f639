#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Logging/LogMacros.h"

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

CORE_API DECLARE_LOG_CATEGORY_EXTERN(LogConfig, Log, All)

enum class EConfigFileEncoding : uint8;

/**
 * One .ini file in the engine's format, kept line by line so that a save rewrites only the keys it sets:
 * `[Section]` headers, `Key=Value` lines, `;` comments. Comment lines, blank lines, unknown sections and keys
 * (array lines such as `+Key=` included) stay where they were. Keys compare without regard to case, as the
 * engine's names do; a key that appears twice in a section reads as its first value.
 *
 * Each line keeps the bytes it was read as, with its line ending, so that what is written back differs from what
 * was read only in the lines that were set: in the file's encoding (UTF-8 with or without a byte-order mark,
 * UTF-16LE or UTF-16BE with one), with its CR LF or LF endings, its bytes that are not valid text and a last line
 * without a line ending. What cannot be kept that way makes GenerateBytes refuse.
 *
 * Threads: none of its own; FConfigCacheIni serialises access.
 */
class CORE_API FConfigFile
{
public:
	FConfigFile();

	/** Replaces the contents with the text, as a UTF-8 file would hold it; never fails. */
	void ProcessInputFileContents(const FString& Contents);
	/**
	 * Replaces the contents with a file's bytes; never fails. A line that is neither header, comment nor `Key=Value`
	 * is kept and never read. Bytes that are not valid in the file's encoding read as U+FFFD and are kept as they
	 * were; an odd byte count of UTF-16 reads without its last byte and makes every later GenerateBytes refuse.
	 */
	void ProcessInputFileBytes(std::string_view Bytes);
	/** Empties the contents of a file that exists but could not be read; every later GenerateBytes refuses, with Reason. */
	void MarkUnreadable(const FString& Reason);
	/**
	 * The file's bytes, with values that were set since it was read put in place of theirs. False, with the reason
	 * in OutReason, when they cannot be written without losing or changing bytes that nobody set.
	 */
	bool GenerateBytes(std::string& OutBytes, FString& OutReason) const;

	/** False, leaving Value alone, when the section or key is missing. A value in double quotes loses its quotes. */
	bool GetString(const FString& Section, const FString& Key, FString& Value) const;
	/**
	 * Replaces the key's first value, or appends `Key=Value` to the section, adding the section at the end if
	 * missing. A line that holds bytes that are not valid text is left as it is, and so is a value the file's
	 * encoding cannot carry: either makes the next GenerateBytes refuse.
	 */
	void SetString(const FString& Section, const FString& Key, const FString& Value);
	bool DoesSectionExist(const FString& Section) const;

	bool IsDirty() const { return bDirty; }
	void ClearDirty() { bDirty = false; }

private:
	struct FLine
	{
		/** The line as read, without its ending, or as generated for a value that was set. */
		std::string Bytes;
		/** The line ending as read; empty for a generated line, or for a last line that had none. */
		std::string Ending;
		/** Bytes decoded; what is not valid text reads as U+FFFD. */
		FString Text;
		/** Empty for anything but a `Key=Value` line. */
		FString Key;
		FString Value;
		bool bUndecodable = false;
	};
	struct FSection
	{
		/** Empty for the lines before the first header. */
		FString Name;
		bool bHasHeader = false;
		FLine Header;
		std::vector<FLine> Lines;
	};

	void AddReadLine(FLine&& Line);
	/** A line made from text; false, noting why in SaveRefusal, when the file's encoding cannot carry it. */
	bool MakeLine(const FString& Text, FLine& OutLine);
	void Refuse(const FString& Reason);

	std::vector<FSection> Sections;
	EConfigFileEncoding Encoding;
	/** The ending of generated lines: the file's first line ending, in its encoding. */
	std::string NewLineEnding;
	/** The last line, whichever it becomes, is written without an ending, as the file's was. */
	bool bEndsWithoutNewLine = false;
	/** Why the contents cannot be written back; empty when they can. */
	FString SaveRefusal;
	bool bDirty = false;
};

/**
 * The configuration store: .ini files by file name, read on first use and written back on Flush.
 *
 * Threads: every operation may be called on any thread; one lock guards the cached files.
 */
class CORE_API FConfigCacheIni
{
public:
	/**
	 * Reads the file into the cache, replacing a cached copy; a missing file reads as empty. A file that exists but
	 * cannot be read logs an error naming it and the reason, reads as empty and is never written: a save refuses.
	 */
	void LoadFile(const FString& Filename);
	/** Forgets the cached copy, written or not; the next use reads the file again. */
	void UnloadFile(const FString& Filename);

	/** False, leaving Value alone, when the file, section or key is missing. */
	bool GetString(const TCHAR* Section, const TCHAR* Key, FString& Value, const FString& Filename);
	/** Sets the value in the cached file (reading it first if needed); Flush writes it. */
	void SetString(const TCHAR* Section, const TCHAR* Key, const TCHAR* Value, const FString& Filename);
	bool DoesSectionExist(const TCHAR* Section, const FString& Filename);

	/**
	 * Writes the file if it changed since it was read, through a temporary file renamed over it so that a failed
	 * write leaves the old file whole; creates the folder when missing. An empty Filename flushes every cached file.
	 * False when a write failed or was refused (a file that could not be read, bytes that could not be kept), with
	 * one error logged naming the file and the reason; the cache then keeps the unsaved values.
	 */
	bool Flush(bool bRemoveFromCache, const FString& Filename = FString());

private:
	FConfigFile& FindOrLoad(const FString& Filename);
	bool WriteFile(const std::u16string& Filename, FConfigFile& File);

	/** Protects Files. */
	std::mutex Lock;
	std::map<std::u16string, FConfigFile> Files;
};

/** The process's configuration store, never null. */
extern CORE_API FConfigCacheIni* GConfig;

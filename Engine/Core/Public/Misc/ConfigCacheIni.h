#pragma once

#include "CoreTypes.h"
#include "Containers/UnrealString.h"
#include "Logging/LogMacros.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

CORE_API DECLARE_LOG_CATEGORY_EXTERN(LogConfig, Log, All)

/**
 * One .ini file in the engine's format, kept line by line so that a save rewrites only the keys it sets:
 * `[Section]` headers, `Key=Value` lines, `;` comments. Comment lines, blank lines, unknown sections and keys
 * (array lines such as `+Key=` included) stay where they were. Keys compare without regard to case, as the
 * engine's names do; a key that appears twice in a section reads as its first value.
 *
 * Threads: none of its own; FConfigCacheIni serialises access.
 */
class CORE_API FConfigFile
{
public:
	/** Replaces the contents with the text; a line that is neither header, comment nor `Key=Value` is kept as text and never read. */
	void ProcessInputFileContents(const FString& Contents);
	/** The text to write: the lines as read, with values that were set since put in their place. */
	FString GenerateText() const;

	/** False, leaving Value alone, when the section or key is missing. A value in double quotes loses its quotes. */
	bool GetString(const FString& Section, const FString& Key, FString& Value) const;
	/** Replaces the key's first value, or appends `Key=Value` to the section, adding the section at the end if missing. */
	void SetString(const FString& Section, const FString& Key, const FString& Value);
	bool DoesSectionExist(const FString& Section) const;

	bool IsDirty() const { return bDirty; }
	void ClearDirty() { bDirty = false; }

private:
	struct FLine
	{
		/** The line as read, or as generated for a value that was set. */
		FString Text;
		/** Empty for anything but a `Key=Value` line. */
		FString Key;
		FString Value;
	};
	struct FSection
	{
		/** Empty for the lines before the first header. */
		FString Name;
		FString HeaderText;
		std::vector<FLine> Lines;
	};

	const FSection* FindSection(const FString& Section) const;

	std::vector<FSection> Sections;
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
	/** Reads the file into the cache, replacing a cached copy; a missing or unreadable file reads as empty. */
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
	 * False when a write failed (logged as a warning); the cache then keeps the unsaved values.
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

#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

#include <filesystem>
#include <string>
#include <string_view>

/**
 * A configuration file on disk: read whole, and replaced whole so that no failure leaves half a file. Neither call
 * throws; each reports what failed in OutError (the step and the system's reason). Stateless; any thread, though two
 * replacements of one file at once leave either one's bytes.
 */
class FConfigFileStorage
{
public:
	/**
	 * The file's bytes; true with none when there is no file. False when there is one that cannot be read whole
	 * (no permission, a folder or other non-file in its place, an I/O error): an unreadable file is never an empty one.
	 */
	static bool Read(const std::filesystem::path& Path, std::string& OutBytes, FString& OutError);
	/**
	 * Writes the bytes to a new file that only this call can have made (an unpredictable name in the same folder,
	 * created exclusively, so a link planted there is never followed), gives it the old file's permission bits (0644
	 * for a new file) and its owner, syncs it, renames it over the file and syncs the folder; creates the folder when
	 * missing. A symbolic link stays one: the file it leads to is the one replaced, beside which the new file is made.
	 * False, changing nothing, when the old file's owner cannot be kept (a save by another user than the owner).
	 * False when a step failed: the temporary file is gone and the old file is as it was, unless only the last sync
	 * failed, when the new bytes are in place but may not survive a crash.
	 */
	static bool Replace(const std::filesystem::path& Path, std::string_view Bytes, FString& OutError);
};

#pragma once

#include <csv.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/**
 * The records of a CSV text fed one line at a time, split by libcsv: quotes and doubled quotes resolved, a line
 * break inside quotes kept in its field, spaces kept as they stand, blank lines skipped. Line at a time, so that
 * a reader can count lines for its messages, take a line that starts with '#' between records as a comment, and
 * bound what one record may hold before the next line is read. Any text is taken; a quote inside an unquoted
 * field is an ordinary character. One thread.
 */
class FSenderCsvRecords
{
public:
	FSenderCsvRecords();
	~FSenderCsvRecords();
	FSenderCsvRecords(const FSenderCsvRecords&) = delete;
	FSenderCsvRecords& operator=(const FSenderCsvRecords&) = delete;

	/** Takes Line, without its line break (a carriage return before it is dropped); true when it ended a record, whose fields GetFields then gives. */
	bool AddLine(std::string_view Line);
	/** The fields of the record the last AddLine ended. */
	const std::vector<std::string>& GetFields() const { return Fields; }
	/** False while a quoted field goes on past the last line taken. */
	bool IsBetweenRecords() const { return bBetweenRecords; }
	/** The bytes taken so far of the record still open: what a reader bounds. */
	size_t GetOpenRecordBytes() const { return OpenRecordBytes; }

private:
	static void OnField(void* Bytes, size_t Count, void* Self);
	static void OnRecordEnd(int Terminator, void* Self);

	csv_parser Parser;
	std::vector<std::string> Fields;
	/** The fields of the record being read. */
	std::vector<std::string> OpenFields;
	size_t OpenRecordBytes = 0;
	bool bBetweenRecords = true;
	bool bRecordEnded = false;
};

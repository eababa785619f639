#include "SenderCsvRecords.h"

#include <new>

namespace
{
/** Spaces belong to the field: a reader that wants them gone trims the fields it reads. */
int IsNeverSpace(unsigned char) { return 0; }

int IsLineFeed(unsigned char Char) { return Char == '\n'; }
} // namespace

FSenderCsvRecords::FSenderCsvRecords()
{
	if (csv_init(&Parser, 0) != 0)
	{
		throw std::bad_alloc();
	}
	csv_set_space_func(&Parser, &IsNeverSpace);
	// Only a line feed ends a record: AddLine takes a carriage return off the end of the line, and one inside a line
	// is a character like any other, not a second record within the line.
	csv_set_term_func(&Parser, &IsLineFeed);
}

FSenderCsvRecords::~FSenderCsvRecords() { csv_free(&Parser); }

bool FSenderCsvRecords::AddLine(std::string_view Line)
{
	if (Line.ends_with('\r'))
	{
		Line.remove_suffix(1);
	}
	bRecordEnded = false;
	csv_parse(&Parser, Line.data(), Line.size(), &OnField, &OnRecordEnd, this);
	OpenRecordBytes += Line.size() + 1;
	csv_parse(&Parser, "\n", 1, &OnField, &OnRecordEnd, this);
	// A line break outside quotes ends the record; one that ends nothing was inside quotes, or after a blank line.
	bBetweenRecords = bRecordEnded || (bBetweenRecords && Line.empty());
	if (bBetweenRecords)
	{
		OpenRecordBytes = 0;
	}
	return bRecordEnded;
}

void FSenderCsvRecords::OnField(void* Bytes, size_t Count, void* Self)
{
	FSenderCsvRecords& Records = *static_cast<FSenderCsvRecords*>(Self);
	// An empty field may come with no buffer at all.
	Records.OpenFields.emplace_back(Count == 0 ? std::string() : std::string(static_cast<const char*>(Bytes), Count));
}

void FSenderCsvRecords::OnRecordEnd(int, void* Self)
{
	FSenderCsvRecords& Records = *static_cast<FSenderCsvRecords*>(Self);
	Records.Fields.swap(Records.OpenFields);
	Records.OpenFields.clear();
	Records.bRecordEnded = true;
}

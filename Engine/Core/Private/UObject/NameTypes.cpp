#include "UObject/NameTypes.h"

#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace
{
/**
 * The process-wide name table. Threads: any thread may add or look up names.
 */
class FNameTable
{
public:
	static FNameTable& Get()
	{
		static FNameTable Table;
		return Table;
	}

	int32 FindOrAdd(const FString& Name, EFindName FindType)
	{
		if (Name.IsEmpty())
		{
			return 0;
		}
		std::u16string Key = Name.ToUpper().GetStdString();
		std::lock_guard<std::mutex> Guard(Lock);
		const auto Found = IndexByKey.find(Key);
		if (Found != IndexByKey.end())
		{
			return Found->second;
		}
		if (FindType == FNAME_Find)
		{
			return 0;
		}
		Entries.push_back(Name);
		const int32 Index = int32(Entries.size()) - 1;
		IndexByKey.emplace(std::move(Key), Index);
		return Index;
	}

	FString GetText(int32 Index)
	{
		std::lock_guard<std::mutex> Guard(Lock);
		return Index > 0 && size_t(Index) < Entries.size() ? Entries[size_t(Index)] : FString(TEXT("None"));
	}

private:
	FNameTable()
	{
		Entries.emplace_back(TEXT("None"));
		IndexByKey.emplace(u"NONE", 0);
	}

	/** Protects Entries and IndexByKey. */
	std::mutex Lock;
	/** Display texts by slot; a deque so that slots never move. */
	std::deque<FString> Entries;
	/** Slots by upper-cased text. */
	std::unordered_map<std::u16string, int32> IndexByKey;
};
} // namespace

FName::FName(const ANSICHAR* Name, EFindName FindType)
    : ComparisonIndex(FNameTable::Get().FindOrAdd(FString(Name), FindType))
{
}

FName::FName(const TCHAR* Name, EFindName FindType)
    : ComparisonIndex(FNameTable::Get().FindOrAdd(FString(Name), FindType))
{
}

FString FName::ToString() const { return FNameTable::Get().GetText(ComparisonIndex); }

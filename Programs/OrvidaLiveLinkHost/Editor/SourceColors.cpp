#include "Editor/SourceColors.h"

#include <algorithm>

const char* FHostSourceColors::Of(const std::string& Guid)
{
	auto Found = Assigned.find(Guid);
	if (Found == Assigned.end())
	{
		std::array<size_t, Palette.size()> Uses{};
		for (const auto& [Other, Index] : Assigned)
		{
			++Uses[Index];
		}
		const size_t Least = size_t(std::min_element(Uses.begin(), Uses.end()) - Uses.begin());
		Found = Assigned.emplace(Guid, Least).first;
	}
	return Palette[Found->second];
}

void FHostSourceColors::KeepOnly(const std::set<std::string>& Live)
{
	std::erase_if(Assigned, [&Live](const auto& Entry) { return !Live.contains(Entry.first); });
}

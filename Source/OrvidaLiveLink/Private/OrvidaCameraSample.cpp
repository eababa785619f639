#include "OrvidaCameraSample.h"

#include <algorithm>
#include <iterator>

bool FOrvidaCameraSample::operator==(const FOrvidaCameraSample& Other) const
{
	// Strings compare exactly: a slate that changes only in letter case is a change.
	const auto SameText = [](const FString& A, const FString& B) { return A.Equals(B, ESearchCase::CaseSensitive); };
	return std::equal(std::begin(Location), std::end(Location), std::begin(Other.Location)) &&
	       std::equal(std::begin(Rotation), std::end(Rotation), std::begin(Other.Rotation)) &&
	       std::equal(std::begin(Scale), std::end(Scale), std::begin(Other.Scale)) && std::equal(std::begin(Lens), std::end(Lens), std::begin(Other.Lens)) &&
	       std::equal(std::begin(Timecode), std::end(Timecode), std::begin(Other.Timecode)) &&
	       std::equal(std::begin(Metadata), std::end(Metadata), std::begin(Other.Metadata), SameText) && State == Other.State;
}

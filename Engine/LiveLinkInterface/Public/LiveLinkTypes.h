#pragma once

#include "CoreMinimal.h"

/** The name of a Live Link subject. */
struct FLiveLinkSubjectName
{
	FName Name;

	FLiveLinkSubjectName() = default;
	FLiveLinkSubjectName(const FName& InName) : Name(InName) {}

	bool IsNone() const { return Name.IsNone(); }
	FString ToString() const { return Name.ToString(); }
	operator FName() const { return Name; }
	bool operator==(const FLiveLinkSubjectName& Other) const { return Name == Other.Name; }
	bool operator!=(const FLiveLinkSubjectName& Other) const { return Name != Other.Name; }
};

/** A subject as the client knows it: the source that provides it and the subject's name. */
struct FLiveLinkSubjectKey
{
	FGuid Source;
	FLiveLinkSubjectName SubjectName;

	FLiveLinkSubjectKey() = default;
	FLiveLinkSubjectKey(FGuid InSource, FName InSubjectName) : Source(InSource), SubjectName(InSubjectName) {}

	bool operator==(const FLiveLinkSubjectKey& Other) const { return Source == Other.Source && SubjectName == Other.SubjectName; }
	bool operator!=(const FLiveLinkSubjectKey& Other) const { return !(*this == Other); }
};

inline uint32 GetTypeHash(const FLiveLinkSubjectKey& Key)
{
	return GetTypeHash(Key.Source) * 31u + GetTypeHash(Key.SubjectName.Name);
}

#pragma once

#include "CoreMinimal.h"
#include "HAL/PlatformTime.h"
#include "HAL/UnrealMemory.h"
#include "Misc/QualifiedFrameTime.h"
#include "UObject/Class.h"
#include "UObject/ObjectMacros.h"

#include <type_traits>

/** The name of a Live Link subject. */
struct FLiveLinkSubjectName
{
	FName Name;

	FLiveLinkSubjectName() = default;
	FLiveLinkSubjectName(const FName& InName)
	    : Name(InName)
	{
	}

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
	FLiveLinkSubjectKey(FGuid InSource, FName InSubjectName)
	    : Source(InSource)
	    , SubjectName(InSubjectName)
	{
	}

	bool operator==(const FLiveLinkSubjectKey& Other) const { return Source == Other.Source && SubjectName == Other.SubjectName; }
	bool operator!=(const FLiveLinkSubjectKey& Other) const { return !(*this == Other); }
};

inline uint32 GetTypeHash(const FLiveLinkSubjectKey& Key) { return GetTypeHash(Key.Source) * 31u + GetTypeHash(Key.SubjectName.Name); }

/**
 * When a frame happened: the time on the source's clock and the offset that carries it onto the engine's clock
 * (FPlatformTime::Seconds()).
 */
USTRUCT()
struct FLiveLinkWorldTime
{
	/** The time on the source's clock, in seconds; -1 for a time never set. */
	double Time = -1.0;
	/** Engine time minus source time, in seconds. */
	double Offset = 0.0;

	FLiveLinkWorldTime() = default;
	/** A frame that happened now on the engine's clock: the offset is taken from the engine clock at construction. */
	FLiveLinkWorldTime(const double InTime)
	    : Time(InTime)
	    , Offset(FPlatformTime::Seconds() - InTime)
	{
	}
	FLiveLinkWorldTime(const double InTime, const double InOffset)
	    : Time(InTime)
	    , Offset(InOffset)
	{
	}

	/** The time on the engine's clock: source time plus offset. */
	double GetOffsettedTime() const { return Time + Offset; }
	double GetSourceTime() const { return Time; }
	double GetOffset() const { return Offset; }
	/** Replaces the offset, for a source that has measured its clock against the engine's more closely. */
	void SetClockOffset(double InOffset) { Offset = InOffset; }
};

/** What a frame carries beside its values: free-form strings and the frame's place on the scene timecode. */
USTRUCT()
struct FLiveLinkMetaData
{
	TMap<FName, FString> StringMetaData;
	FQualifiedFrameTime SceneTime;
};

/** What a subject says once about itself: the base of every role's static data. */
USTRUCT()
struct LIVELINKINTERFACE_API FLiveLinkBaseStaticData
{
	DECLARE_SCRIPT_STRUCT(FLiveLinkBaseStaticData, void)

	/** The names of the free-form values that each frame carries in PropertyValues, in the same order. */
	TArray<FName> PropertyNames;
};

/** One sample of a subject: the base of every role's frame data. */
USTRUCT()
struct LIVELINKINTERFACE_API FLiveLinkBaseFrameData
{
	DECLARE_SCRIPT_STRUCT(FLiveLinkBaseFrameData, void)

	FLiveLinkWorldTime WorldTime;
	FLiveLinkMetaData MetaData;
	/** One value per name in the static data's PropertyNames. */
	TArray<float> PropertyValues;
};

/**
 * Owns one instance of a struct derived from BaseType, whose type is known only at run time through its
 * UScriptStruct: the way static data and frames of any role travel through the client.
 *
 * The instance lives in memory of its own, so moving the owner moves a pointer and never the instance. An owner
 * cannot be copied; InitializeWith(const FLiveLinkBaseDataStruct&) makes a deep copy on purpose.
 *
 * Threads: none of its own; one owner must not be used from two threads at once.
 */
template <class BaseType> struct FLiveLinkBaseDataStruct
{
public:
	FLiveLinkBaseDataStruct() = default;
	/** An owner of a default-constructed InScriptStruct (see InitializeWith for what it does with a bad struct). */
	explicit FLiveLinkBaseDataStruct(const UScriptStruct* InScriptStruct) { InitializeWith(InScriptStruct, nullptr); }
	FLiveLinkBaseDataStruct(FLiveLinkBaseDataStruct&& Other) noexcept
	    : ScriptStruct(Other.ScriptStruct)
	    , StructMemory(Other.StructMemory)
	{
		Other.ScriptStruct = nullptr;
		Other.StructMemory = nullptr;
	}
	FLiveLinkBaseDataStruct& operator=(FLiveLinkBaseDataStruct&& Other) noexcept
	{
		if (this != &Other)
		{
			Reset();
			ScriptStruct = Other.ScriptStruct;
			StructMemory = Other.StructMemory;
			Other.ScriptStruct = nullptr;
			Other.StructMemory = nullptr;
		}
		return *this;
	}
	FLiveLinkBaseDataStruct(const FLiveLinkBaseDataStruct&) = delete;
	FLiveLinkBaseDataStruct& operator=(const FLiveLinkBaseDataStruct&) = delete;
	~FLiveLinkBaseDataStruct() { Reset(); }

	/**
	 * Replaces what the owner holds with a new instance of InScriptStruct, default-constructed and then, when
	 * InStructToCopy is not null, assigned a copy of it. InStructToCopy must point to an InScriptStruct. A null
	 * struct, or one that does not derive from BaseType, leaves the owner empty.
	 */
	void InitializeWith(const UScriptStruct* InScriptStruct, const BaseType* InStructToCopy)
	{
		Reset();
		if (InScriptStruct == nullptr || !InScriptStruct->IsChildOf(BaseType::StaticStruct()))
		{
			return;
		}
		void* Memory = FMemory::Malloc(SIZE_T(InScriptStruct->GetStructureSize()), uint32(InScriptStruct->GetMinAlignment()));
		InScriptStruct->InitializeStruct(Memory);
		if (InStructToCopy != nullptr)
		{
			InScriptStruct->CopyScriptStruct(Memory, InStructToCopy);
		}
		ScriptStruct = InScriptStruct;
		StructMemory = static_cast<BaseType*>(Memory);
	}
	/** Replaces what the owner holds with a copy of InStruct, a T. Null leaves the owner empty. */
	template <class T> void InitializeWith(const T* InStruct)
	{
		static_assert(std::is_base_of_v<BaseType, T>, "The struct must derive from the owner's base struct");
		if (InStruct == nullptr)
		{
			Reset();
			return;
		}
		InitializeWith(T::StaticStruct(), InStruct);
	}
	/**
	 * Replaces what the owner holds with a deep copy of what Other holds; an empty Other leaves it empty. (Every
	 * struct of the stand-in can be copied; one that could not would arrive default-constructed.)
	 */
	void InitializeWith(const FLiveLinkBaseDataStruct& Other)
	{
		if (this != &Other)
		{
			InitializeWith(Other.ScriptStruct, Other.StructMemory);
		}
	}

	/** The struct of the held instance, or null when empty. */
	const UScriptStruct* GetStruct() const { return ScriptStruct; }
	/** The held instance as its base struct, or null when empty. */
	BaseType* GetBaseData() { return StructMemory; }
	const BaseType* GetBaseData() const { return StructMemory; }

	/** The held instance as a T, or null when empty or when the held struct is neither T nor derived from it. */
	template <class T> T* Cast()
	{
		static_assert(std::is_base_of_v<BaseType, T>, "Only a struct derived from the owner's base struct can be held");
		return ScriptStruct != nullptr && ScriptStruct->IsChildOf(T::StaticStruct()) ? static_cast<T*>(StructMemory) : nullptr;
	}
	template <class T> const T* Cast() const
	{
		static_assert(std::is_base_of_v<BaseType, T>, "Only a struct derived from the owner's base struct can be held");
		return ScriptStruct != nullptr && ScriptStruct->IsChildOf(T::StaticStruct()) ? static_cast<const T*>(StructMemory) : nullptr;
	}

	/** True while the owner holds an instance. */
	bool IsValid() const { return StructMemory != nullptr; }

	/** Destroys the held instance and frees its memory; does nothing when empty. */
	void Reset()
	{
		if (StructMemory != nullptr)
		{
			ScriptStruct->DestroyStruct(StructMemory);
			FMemory::Free(StructMemory);
		}
		ScriptStruct = nullptr;
		StructMemory = nullptr;
	}

private:
	const UScriptStruct* ScriptStruct = nullptr;
	BaseType* StructMemory = nullptr;
};

template <class BaseType> using TLiveLinkBaseDataStruct = FLiveLinkBaseDataStruct<BaseType>;

typedef FLiveLinkBaseDataStruct<FLiveLinkBaseStaticData> FLiveLinkStaticDataStruct;
typedef FLiveLinkBaseDataStruct<FLiveLinkBaseFrameData> FLiveLinkFrameDataStruct;

/** A subject's static data and one of its frames, as an evaluation hands them out. */
struct FLiveLinkSubjectFrameData
{
	FLiveLinkStaticDataStruct StaticData;
	FLiveLinkFrameDataStruct FrameData;
};

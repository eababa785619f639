#include "StandIn/LiveLinkClient.h"

#include "HAL/PlatformTime.h"
#include "LiveLinkLog.h"
#include "LiveLinkSourceFactory.h"
#include "StandIn/LiveLinkFrameInterpolation.h"
#include "Templates/Casts.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UnrealType.h"

#include <algorithm>

FLiveLinkClient::FLiveLinkClient() = default;

FLiveLinkClient::~FLiveLinkClient()
{
	for (FSourceEntry& Entry : Sources)
	{
		if (!Entry.bRemovalRequested)
		{
			Entry.Source->RequestSourceShutdown();
		}
		Entry.Settings->MarkPendingKill();
	}
	// Moved out first, so that a source's destructor never runs while it is still listed.
	TArray<FSourceEntry> Released = MoveTemp(Sources);
	Sources.Reset();
	Released.Reset();
}

void FLiveLinkClient::PushSubjectStaticData_AnyThread(const FLiveLinkSubjectKey& SubjectKey, TSubclassOf<ULiveLinkRole> Role,
                                                      FLiveLinkStaticDataStruct&& StaticData)
{
	FPendingStaticData Pending{SubjectKey, Role, MoveTemp(StaticData)};
	FScopeLock Guard(&ClientLock);
	if (PendingStaticData.Num() > MaxNewStaticDataPerUpdate)
	{
		IgnoredPushCount.fetch_add(1, std::memory_order_relaxed);
		return;
	}
	PendingStaticData.Add(MoveTemp(Pending));
}

void FLiveLinkClient::PushSubjectFrameData_AnyThread(const FLiveLinkSubjectKey& SubjectKey, FLiveLinkFrameDataStruct&& FrameData)
{
	FPendingFrame Pending{SubjectKey, MoveTemp(FrameData)};
	FScopeLock Guard(&ClientLock);
	if (PendingFrames.Num() > MaxNewFrameDataPerUpdate)
	{
		// As the engine does: the oldest go down to the bound, and the new frame with them.
		const int32 Dropped = PendingFrames.Num() - MaxNewFrameDataPerUpdate;
		PendingFrames.RemoveAt(0, Dropped);
		IgnoredPushCount.fetch_add(Dropped + 1, std::memory_order_relaxed);
		return;
	}
	PendingFrames.Add(MoveTemp(Pending));
}

void FLiveLinkClient::RemoveSubject_AnyThread(const FLiveLinkSubjectKey& SubjectKey)
{
	FScopeLock Guard(&ClientLock);
	Subjects.Remove(SubjectKey);
}

FDelegateHandle FLiveLinkClient::RegisterForFramePushed(const FOnLiveLinkFramePushed::FDelegate& Delegate)
{
	FScopeLock Guard(&ClientLock);
	return FramePushedDelegate.Add(Delegate);
}

void FLiveLinkClient::UnregisterForFramePushed(FDelegateHandle Handle)
{
	FScopeLock Guard(&ClientLock);
	FramePushedDelegate.Remove(Handle);
}

FGuid FLiveLinkClient::AddSource(TSharedPtr<ILiveLinkSource> Source)
{
	if (!Source.IsValid())
	{
		return FGuid();
	}
	UClass* SettingsClass = Source->GetSettingsClass().Get();
	const FGuid Guid = FGuid::NewGuid();
	AddEntry(Guid, Source, NewObject<ULiveLinkSourceSettings>(nullptr, SettingsClass != nullptr ? SettingsClass : ULiveLinkSourceSettings::StaticClass()));
	return Guid;
}

void FLiveLinkClient::AddEntry(FGuid Guid, const TSharedPtr<ILiveLinkSource>& Source, ULiveLinkSourceSettings* Settings)
{
	FSourceEntry Entry;
	Entry.Guid = Guid;
	Entry.Source = Source;
	Entry.Settings = Settings;
	Sources.Add(MoveTemp(Entry));
	Source->ReceiveClient(this, Guid);
	Source->InitializeSettings(Settings);
}

namespace
{
/** What DuplicateObject gives for a settings object: every reflected property, and the base's members the stand-in does not reflect. */
ULiveLinkSourceSettings* CopySettings(const ULiveLinkSourceSettings& Settings)
{
	ULiveLinkSourceSettings* Copy = NewObject<ULiveLinkSourceSettings>(nullptr, Settings.GetClass());
	for (TFieldIterator<FProperty> It(Settings.GetClass()); It; ++It)
	{
		It->ImportText_InContainer(It->ExportText_InContainer(&Settings), Copy);
	}
	Copy->Mode = Settings.Mode;
	Copy->BufferSettings = Settings.BufferSettings;
	Copy->Factory = Settings.Factory;
	return Copy;
}
} // namespace

TSharedPtr<ILiveLinkSource> FLiveLinkClient::GetSource(FGuid SourceGuid) const
{
	const FSourceEntry* Entry = FindSource(SourceGuid);
	return Entry != nullptr ? Entry->Source : nullptr;
}

FLiveLinkSourcePreset FLiveLinkClient::GetSourcePreset(FGuid SourceGuid, UObject* DuplicatedObjectOuter) const
{
	FLiveLinkSourcePreset Preset;
	const FSourceEntry* Entry = FindSource(SourceGuid);
	if (Entry == nullptr || Entry->bRemovalRequested)
	{
		return Preset;
	}
	Preset.Guid = Entry->Guid;
	Preset.Settings = CopySettings(*Entry->Settings);
	Preset.SourceType = Entry->Source->GetSourceType();
	return Preset;
}

bool FLiveLinkClient::CreateSource(const FLiveLinkSourcePreset& SourcePreset)
{
	if (SourcePreset.Settings == nullptr)
	{
		UE_LOG(LogLiveLink, Warning, TEXT("Create Source Failure: The settings are not defined."));
		return false;
	}
	if (FindSource(SourcePreset.Guid) != nullptr)
	{
		UE_LOG(LogLiveLink, Warning, TEXT("Create Source Failure: The source already exist."));
		return false;
	}
	UClass* FactoryClass = SourcePreset.Settings->Factory.Get();
	if (FactoryClass == nullptr || FactoryClass == ULiveLinkSourceFactory::StaticClass())
	{
		UE_LOG(LogLiveLink, Warning, TEXT("Create Source Failure: No factory was set."));
		return false;
	}
	const ULiveLinkSourceFactory* Factory = FactoryClass->GetDefaultObject<ULiveLinkSourceFactory>();
	TSharedPtr<ILiveLinkSource> Source = Factory != nullptr ? Factory->CreateSource(SourcePreset.Settings->ConnectionString) : nullptr;
	if (!Source.IsValid())
	{
		UE_LOG(LogLiveLink, Warning, TEXT("Create Source Failure: Couldn't create the source from the factory."));
		return false;
	}
	AddEntry(SourcePreset.Guid, Source, CopySettings(*SourcePreset.Settings));
	return true;
}

void FLiveLinkClient::RemoveSource(FGuid SourceGuid)
{
	FSourceEntry* Entry = nullptr;
	for (FSourceEntry& Candidate : Sources)
	{
		if (Candidate.Guid == SourceGuid && !Candidate.bRemovalRequested)
		{
			Entry = &Candidate;
			break;
		}
	}
	if (Entry == nullptr)
	{
		return;
	}
	if (bIsTicking)
	{
		if (!DeferredRemovals.Contains(SourceGuid))
		{
			DeferredRemovals.Add(SourceGuid);
		}
		return;
	}
	Entry->bRemovalRequested = true;
	ReleaseSourcesThatShutDown();
}

void FLiveLinkClient::Tick()
{
	if (bIsTicking)
	{
		return;
	}
	{
		FScopeLock Guard(&ClientLock);
		bIsTicking = true;
		// The engine's time for this frame, read once: every subject is evaluated at the same time.
		const double EngineTime = FPlatformTime::Seconds();
		ReleaseSourcesThatShutDown();
		TakeInPushed();
		// By copy: an Update may add a source.
		TArray<TSharedPtr<ILiveLinkSource>> ToUpdate;
		for (const FSourceEntry& Entry : Sources)
		{
			if (!Entry.bRemovalRequested)
			{
				ToUpdate.Add(Entry.Source);
			}
		}
		for (const TSharedPtr<ILiveLinkSource>& Source : ToUpdate)
		{
			Source->Update();
		}
		ToUpdate.Reset();
		EvaluateSubjects(EngineTime);
		TickedDelegate.Broadcast();
		bIsTicking = false;
	}

	TArray<FGuid> Removals = MoveTemp(DeferredRemovals);
	DeferredRemovals.Reset();
	for (const FGuid& SourceGuid : Removals)
	{
		RemoveSource(SourceGuid);
	}
}

TArray<FGuid> FLiveLinkClient::GetSourceGuids() const
{
	TArray<FGuid> Guids;
	for (const FSourceEntry& Entry : Sources)
	{
		if (!Entry.bRemovalRequested)
		{
			Guids.Add(Entry.Guid);
		}
	}
	return Guids;
}

FText FLiveLinkClient::GetSourceType(FGuid SourceGuid) const
{
	const FSourceEntry* Entry = FindSource(SourceGuid);
	return Entry ? Entry->Source->GetSourceType() : FText();
}

FText FLiveLinkClient::GetSourceMachineName(FGuid SourceGuid) const
{
	const FSourceEntry* Entry = FindSource(SourceGuid);
	return Entry ? Entry->Source->GetSourceMachineName() : FText();
}

FText FLiveLinkClient::GetSourceStatus(FGuid SourceGuid) const
{
	const FSourceEntry* Entry = FindSource(SourceGuid);
	return Entry ? Entry->Source->GetSourceStatus() : FText();
}

bool FLiveLinkClient::IsSourceStillValid(FGuid SourceGuid) const
{
	const FSourceEntry* Entry = FindSource(SourceGuid);
	return Entry ? Entry->Source->IsSourceStillValid() : false;
}

ULiveLinkSourceSettings* FLiveLinkClient::GetSourceSettings(const FGuid& SourceGuid) const
{
	const FSourceEntry* Entry = FindSource(SourceGuid);
	return Entry ? Entry->Settings : nullptr;
}

void FLiveLinkClient::OnPropertyChanged(FGuid EntryGuid, const FPropertyChangedEvent& PropertyChangedEvent)
{
	if (const FSourceEntry* Entry = FindSource(EntryGuid))
	{
		Entry->Source->OnSettingsChanged(Entry->Settings, PropertyChangedEvent);
	}
}

TArray<FLiveLinkSubjectKey> FLiveLinkClient::GetSubjects(bool bIncludeDisabledSubject, bool bIncludeVirtualSubject) const
{
	FScopeLock Guard(&ClientLock);
	TArray<FLiveLinkSubjectKey> Keys;
	for (const auto& Pair : Subjects)
	{
		if (bIncludeDisabledSubject || Pair.Value.bEnabled)
		{
			Keys.Add(Pair.Key);
		}
	}
	return Keys;
}

TSubclassOf<ULiveLinkRole> FLiveLinkClient::GetSubjectRole(const FLiveLinkSubjectKey& SubjectKey) const
{
	FScopeLock Guard(&ClientLock);
	const FSubjectEntry* Subject = Subjects.Find(SubjectKey);
	return Subject ? Subject->Role : TSubclassOf<ULiveLinkRole>();
}

bool FLiveLinkClient::GetSubjectStaticData(const FLiveLinkSubjectKey& SubjectKey, FLiveLinkStaticDataStruct& OutStaticData) const
{
	FScopeLock Guard(&ClientLock);
	const FSubjectEntry* Subject = Subjects.Find(SubjectKey);
	if (Subject == nullptr)
	{
		OutStaticData.Reset();
		return false;
	}
	OutStaticData.InitializeWith(Subject->StaticData);
	return true;
}

TArray<FLiveLinkFrameDataStruct> FLiveLinkClient::GetFrames(const FLiveLinkSubjectKey& SubjectKey) const
{
	FScopeLock Guard(&ClientLock);
	TArray<FLiveLinkFrameDataStruct> Copies;
	if (const FSubjectEntry* Subject = Subjects.Find(SubjectKey))
	{
		Copies.Reserve(Subject->Frames.Num());
		for (const FLiveLinkFrameDataStruct& Frame : Subject->Frames)
		{
			Copies[Copies.Emplace()].InitializeWith(Frame);
		}
	}
	return Copies;
}

bool FLiveLinkClient::IsSubjectEnabled(const FLiveLinkSubjectKey& SubjectKey, bool bForThisFrame) const
{
	FScopeLock Guard(&ClientLock);
	const FSubjectEntry* Subject = Subjects.Find(SubjectKey);
	if (Subject == nullptr)
	{
		return false;
	}
	return bForThisFrame ? Subject->bEnabledThisFrame : Subject->bEnabled;
}

void FLiveLinkClient::SetSubjectEnabled(const FLiveLinkSubjectKey& SubjectKey, bool bEnabled)
{
	FScopeLock Guard(&ClientLock);
	if (bEnabled)
	{
		// As the engine does, also when the subject itself is unknown.
		for (auto& Pair : Subjects)
		{
			if (Pair.Key.SubjectName == SubjectKey.SubjectName && Pair.Key != SubjectKey)
			{
				Pair.Value.bEnabled = false;
			}
		}
	}
	if (FSubjectEntry* Subject = Subjects.Find(SubjectKey))
	{
		Subject->bEnabled = bEnabled;
	}
}

bool FLiveLinkClient::EvaluateFrame_AnyThread(FLiveLinkSubjectName SubjectName, TSubclassOf<ULiveLinkRole> Role, FLiveLinkSubjectFrameData& OutFrame)
{
	FScopeLock Guard(&ClientLock);
	for (const auto& Pair : Subjects)
	{
		if (Pair.Key.SubjectName != SubjectName || !Pair.Value.bEnabledThisFrame)
		{
			continue;
		}
		const FSubjectEntry& Subject = Pair.Value;
		// The engine would ask a translator for another role; the stand-in has none.
		if (!Subject.Evaluated.IsValid() || Role.Get() == nullptr || Subject.Role.Get() == nullptr || !Subject.Role.Get()->IsChildOf(Role.Get()))
		{
			return false;
		}
		OutFrame.StaticData.InitializeWith(Subject.StaticData);
		OutFrame.FrameData.InitializeWith(Subject.Evaluated);
		return true;
	}
	return false;
}

const FLiveLinkClient::FSourceEntry* FLiveLinkClient::FindSource(FGuid SourceGuid) const
{
	for (const FSourceEntry& Entry : Sources)
	{
		if (Entry.Guid == SourceGuid)
		{
			return &Entry;
		}
	}
	return nullptr;
}

const ULiveLinkSourceSettings* FLiveLinkClient::FindLiveSourceSettings(FGuid SourceGuid) const
{
	const FSourceEntry* Entry = FindSource(SourceGuid);
	return Entry != nullptr && !Entry->bRemovalRequested ? Entry->Settings : nullptr;
}

void FLiveLinkClient::ReleaseSourcesThatShutDown()
{
	int32 Index = 0;
	while (Index < Sources.Num())
	{
		if (!Sources[Index].bRemovalRequested || !Sources[Index].Source->RequestSourceShutdown())
		{
			++Index;
			continue;
		}
		const FGuid SourceGuid = Sources[Index].Guid;
		TSharedPtr<ILiveLinkSource> Released = MoveTemp(Sources[Index].Source);
		Sources[Index].Settings->MarkPendingKill();
		Sources.RemoveAt(Index);
		{
			FScopeLock Guard(&ClientLock);
			TArray<FLiveLinkSubjectKey> Keys;
			Subjects.GetKeys(Keys);
			for (const FLiveLinkSubjectKey& Key : Keys)
			{
				if (Key.Source == SourceGuid)
				{
					Subjects.Remove(Key);
				}
			}
		}
		// The source's destructor may wait for its thread: outside a tick no lock is held here.
		Released.Reset();
	}
}

void FLiveLinkClient::TakeInPushed()
{
	TArray<FPendingStaticData> StaticDataToTakeIn = MoveTemp(PendingStaticData);
	PendingStaticData.Reset();
	TArray<FPendingFrame> FramesToTakeIn = MoveTemp(PendingFrames);
	PendingFrames.Reset();
	for (FPendingStaticData& Pending : StaticDataToTakeIn)
	{
		TakeInStaticData(MoveTemp(Pending), FramesToTakeIn);
	}
	for (FPendingFrame& Pending : FramesToTakeIn)
	{
		TakeInFrame(MoveTemp(Pending));
	}
}

void FLiveLinkClient::TakeInStaticData(FPendingStaticData&& Pending, TArray<FPendingFrame>& FramesToTakeIn)
{
	const FLiveLinkSubjectKey& SubjectKey = Pending.SubjectKey;
	const ULiveLinkRole* RoleObject = Pending.Role.Get() != nullptr ? GetRoleObject(Pending.Role.Get()) : nullptr;
	const TCHAR* Reason = nullptr;
	if (SubjectKey.SubjectName.IsNone())
	{
		Reason = TEXT("the subject has no name");
	}
	else if (RoleObject == nullptr)
	{
		Reason = TEXT("the role is not a Live Link role that can be instantiated");
	}
	else if (!Pending.StaticData.IsValid() || Pending.StaticData.GetStruct() != RoleObject->GetStaticDataStruct())
	{
		Reason = TEXT("the static data is not of the role's static struct");
	}
	if (Reason != nullptr)
	{
		RefusedStaticDataCount.fetch_add(1, std::memory_order_relaxed);
		UE_LOG(LogLiveLink, Warning, TEXT("Static data for subject '%s' refused: %s."), *SubjectKey.SubjectName.ToString(), Reason);
		return;
	}
	if (FindLiveSourceSettings(SubjectKey.Source) == nullptr)
	{
		IgnoredPushCount.fetch_add(1, std::memory_order_relaxed);
		return;
	}

	FSubjectEntry* Subject = Subjects.Find(SubjectKey);
	if (Subject != nullptr && Subject->Role != Pending.Role)
	{
		UE_LOG(LogLiveLink, Warning, TEXT("Subject '%s' changes its role: it is removed and made again."), *SubjectKey.SubjectName.ToString());
		Subjects.Remove(SubjectKey);
		Subject = nullptr;
	}
	// Frames made against the static data being replaced would be read against the new one, queued ones too.
	for (int32 Index = FramesToTakeIn.Num() - 1; Index >= 0; --Index)
	{
		if (FramesToTakeIn[Index].SubjectKey == SubjectKey)
		{
			FramesToTakeIn.RemoveAt(Index);
		}
	}
	if (Subject == nullptr)
	{
		bool bNameTaken = false;
		for (const auto& Pair : Subjects)
		{
			bNameTaken = bNameTaken || (Pair.Value.bEnabled && Pair.Key.SubjectName == SubjectKey.SubjectName);
		}
		Subject = &Subjects.Add(SubjectKey, FSubjectEntry());
		Subject->bEnabled = !bNameTaken;
	}
	Subject->Role = Pending.Role;
	Subject->FrameStruct = RoleObject->GetFrameDataStruct();
	Subject->StaticData = MoveTemp(Pending.StaticData);
	Subject->Frames.Reset();
}

void FLiveLinkClient::TakeInFrame(FPendingFrame&& Pending)
{
	const FLiveLinkSubjectKey& SubjectKey = Pending.SubjectKey;
	const ULiveLinkSourceSettings* Settings = FindLiveSourceSettings(SubjectKey.Source);
	if (Settings == nullptr)
	{
		IgnoredPushCount.fetch_add(1, std::memory_order_relaxed);
		return;
	}
	FSubjectEntry* Subject = Subjects.Find(SubjectKey);
	if (Subject != nullptr && !Subject->bEnabled)
	{
		IgnoredPushCount.fetch_add(1, std::memory_order_relaxed);
		return;
	}
	if (Subject == nullptr || !Pending.FrameData.IsValid() || Pending.FrameData.GetStruct() != Subject->FrameStruct)
	{
		RefusedFrameCount.fetch_add(1, std::memory_order_relaxed);
		return;
	}
	// After the newest frame not later than this one, as the engine orders a subject's frames.
	const double Time = Pending.FrameData.GetBaseData()->WorldTime.GetOffsettedTime();
	int32 Index = Subject->Frames.Num();
	while (Index > 0 && Subject->Frames[Index - 1].GetBaseData()->WorldTime.GetOffsettedTime() > Time)
	{
		--Index;
	}
	const bool bBufferFull = Subject->Frames.Num() >= Settings->BufferSettings.MaxNumberOfFrameToBuffered;
	if (bBufferFull)
	{
		// The oldest goes to make room; a frame older than all a full buffer holds goes instead.
		if (--Index < 0)
		{
			IgnoredPushCount.fetch_add(1, std::memory_order_relaxed);
			return;
		}
		Subject->Frames.RemoveAt(0);
	}
	Subject->Frames.Insert(MoveTemp(Pending.FrameData), Index);
	FramePushedDelegate.Broadcast(SubjectKey, Subject->Frames[Index]);
}

void FLiveLinkClient::EvaluateSubjects(double EngineTime)
{
	for (auto& Pair : Subjects)
	{
		FSubjectEntry& Subject = Pair.Value;
		Subject.Evaluated.Reset();
		Subject.bEnabledThisFrame = Subject.bEnabled;
		if (!Subject.bEnabled)
		{
			Subject.Frames.Reset();
			continue;
		}
		const ULiveLinkSourceSettings* Settings = FindLiveSourceSettings(Pair.Key.Source);
		if (Settings == nullptr || Subject.Frames.Num() == 0)
		{
			continue;
		}
		// A buffer made smaller since keeps its newest frames, and always one.
		const int32 Kept = std::max(Settings->BufferSettings.MaxNumberOfFrameToBuffered, 1);
		if (Subject.Frames.Num() > Kept)
		{
			Subject.Frames.RemoveAt(0, Subject.Frames.Num() - Kept);
		}
		switch (Settings->Mode)
		{
		case ELiveLinkSourceMode::Latest:
			Subject.Evaluated.InitializeWith(Subject.Frames.Last());
			break;
		case ELiveLinkSourceMode::EngineTime:
			FLiveLinkFrameInterpolation::EvaluateAtWorldTime(Subject.Frames, EngineTime - Settings->BufferSettings.EngineTimeOffset, Subject.Evaluated);
			break;
		case ELiveLinkSourceMode::Timecode:
			// The stand-in has no timecode provider; without one the engine evaluates nothing either.
			break;
		}
	}
}

const ULiveLinkRole* FLiveLinkClient::GetRoleObject(UClass* RoleClass)
{
	if (const TSharedPtr<ULiveLinkRole>* Found = RoleObjects.Find(RoleClass))
	{
		return Found->Get();
	}
	const UClass::FClassConstructor Constructor = RoleClass->GetClassConstructor();
	if (Constructor == nullptr)
	{
		return nullptr;
	}
	UObject* Made = Constructor();
	ULiveLinkRole* Role = Cast<ULiveLinkRole>(Made);
	if (Role == nullptr)
	{
		delete Made;
		return nullptr;
	}
	RoleObjects.Add(RoleClass, TSharedPtr<ULiveLinkRole>(Role));
	return Role;
}

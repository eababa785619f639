#include "StandIn/LiveLinkClient.h"

#include "LiveLinkLog.h"
#include "Templates/Casts.h"

FLiveLinkClient::FLiveLinkClient() = default;

FLiveLinkClient::~FLiveLinkClient()
{
	for (FSourceEntry& Entry : Sources)
	{
		if (!Entry.bRemovalRequested)
		{
			Entry.Source->RequestSourceShutdown();
		}
	}
	// Moved out first, so that a source's destructor never runs while it is still listed.
	TArray<FSourceEntry> Released = MoveTemp(Sources);
	Sources.Reset();
	Released.Reset();
}

void FLiveLinkClient::PushSubjectStaticData_AnyThread(const FLiveLinkSubjectKey& SubjectKey, TSubclassOf<ULiveLinkRole> Role, FLiveLinkStaticDataStruct&& StaticData)
{
	FScopeLock Guard(&SubjectLock);
	const ULiveLinkRole* RoleObject = Role.Get() != nullptr ? GetRoleObject(Role.Get()) : nullptr;
	const TCHAR* Reason = nullptr;
	if (SubjectKey.SubjectName.IsNone())
	{
		Reason = TEXT("the subject has no name");
	}
	else if (RoleObject == nullptr)
	{
		Reason = TEXT("the role is not a Live Link role that can be instantiated");
	}
	else if (!StaticData.IsValid() || StaticData.GetStruct() != RoleObject->GetStaticDataStruct())
	{
		Reason = TEXT("the static data is not of the role's static struct");
	}
	if (Reason != nullptr)
	{
		RefusedStaticDataCount.fetch_add(1, std::memory_order_relaxed);
		Guard.Unlock();
		UE_LOG(LogLiveLink, Warning, TEXT("Static data for subject '%s' refused: %s."), *SubjectKey.SubjectName.ToString(), Reason);
		return;
	}

	FSubjectEntry& Subject = Subjects.FindOrAdd(SubjectKey);
	Subject.Role = Role;
	Subject.FrameStruct = RoleObject->GetFrameDataStruct();
	Subject.StaticData = MoveTemp(StaticData);
	// Frames made against the static data being replaced would be read against the new one.
	Subject.Frames.Reset();
}

void FLiveLinkClient::PushSubjectFrameData_AnyThread(const FLiveLinkSubjectKey& SubjectKey, FLiveLinkFrameDataStruct&& FrameData)
{
	// Allocated before the lock is taken, to keep the time under it short.
	TSharedPtr<const FLiveLinkFrameDataStruct> Stored = MakeShared<FLiveLinkFrameDataStruct>(MoveTemp(FrameData));
	{
		FScopeLock Guard(&SubjectLock);
		FSubjectEntry* Subject = Subjects.Find(SubjectKey);
		if (Subject == nullptr || !Stored->IsValid() || Stored->GetStruct() != Subject->FrameStruct)
		{
			RefusedFrameCount.fetch_add(1, std::memory_order_relaxed);
			return;
		}
		// Trimmed in batches: dropping the oldest frame on every push would shift the whole history each time.
		if (Subject->Frames.Num() >= 2 * MaxFramesPerSubject)
		{
			Subject->Frames.RemoveAt(0, Subject->Frames.Num() - MaxFramesPerSubject + 1);
		}
		Subject->Frames.Add(Stored);
	}
	FScopeLock Guard(&FramePushedLock);
	FramePushedDelegate.Broadcast(SubjectKey, *Stored);
}

FDelegateHandle FLiveLinkClient::RegisterForFramePushed(const FOnLiveLinkFramePushed::FDelegate& Delegate)
{
	FScopeLock Guard(&FramePushedLock);
	return FramePushedDelegate.Add(Delegate);
}

void FLiveLinkClient::UnregisterForFramePushed(FDelegateHandle Handle)
{
	FScopeLock Guard(&FramePushedLock);
	FramePushedDelegate.Remove(Handle);
}

FGuid FLiveLinkClient::AddSource(TSharedPtr<ILiveLinkSource> Source)
{
	if (!Source.IsValid())
	{
		return FGuid();
	}
	FSourceEntry Entry;
	Entry.Guid = FGuid::NewGuid();
	Entry.Source = Source;
	Sources.Add(MoveTemp(Entry));
	const FGuid Guid = Sources.Last().Guid;
	Source->ReceiveClient(this, Guid);
	return Guid;
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
	bIsTicking = true;
	ReleaseSourcesThatShutDown();
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
	TickedDelegate.Broadcast();
	bIsTicking = false;

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

TArray<FLiveLinkSubjectKey> FLiveLinkClient::GetSubjects() const
{
	FScopeLock Guard(&SubjectLock);
	TArray<FLiveLinkSubjectKey> Keys;
	Subjects.GetKeys(Keys);
	return Keys;
}

TSubclassOf<ULiveLinkRole> FLiveLinkClient::GetSubjectRole(const FLiveLinkSubjectKey& SubjectKey) const
{
	FScopeLock Guard(&SubjectLock);
	const FSubjectEntry* Subject = Subjects.Find(SubjectKey);
	return Subject ? Subject->Role : TSubclassOf<ULiveLinkRole>();
}

bool FLiveLinkClient::GetSubjectStaticData(const FLiveLinkSubjectKey& SubjectKey, FLiveLinkStaticDataStruct& OutStaticData) const
{
	FScopeLock Guard(&SubjectLock);
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
	TArray<TSharedPtr<const FLiveLinkFrameDataStruct>> Stored;
	{
		FScopeLock Guard(&SubjectLock);
		if (const FSubjectEntry* Subject = Subjects.Find(SubjectKey))
		{
			const int32 First = Subject->Frames.Num() > MaxFramesPerSubject ? Subject->Frames.Num() - MaxFramesPerSubject : 0;
			Stored.Reserve(Subject->Frames.Num() - First);
			for (int32 Index = First; Index < Subject->Frames.Num(); ++Index)
			{
				Stored.Add(Subject->Frames[Index]);
			}
		}
	}
	// Stored frames never change, so they are copied outside the lock.
	TArray<FLiveLinkFrameDataStruct> Copies;
	Copies.Reserve(Stored.Num());
	for (const TSharedPtr<const FLiveLinkFrameDataStruct>& Frame : Stored)
	{
		FLiveLinkFrameDataStruct& Copy = Copies[Copies.Emplace()];
		Copy.InitializeWith(*Frame);
	}
	return Copies;
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
		Sources.RemoveAt(Index);
		{
			FScopeLock Guard(&SubjectLock);
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
		// The source's destructor may wait for its thread; no lock is held here and no broadcast is running.
		Released.Reset();
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

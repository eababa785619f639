#pragma once

#include "ILiveLinkClient.h"

#include <mutex>

/**
 * A Live Link client that ticks when the test says so and keeps the last static data and frame pushed to it.
 * The test thread plays the game thread and calls Tick; pushes may come from any thread.
 */
class FTestLiveLinkClient final : public ILiveLinkClient
{
public:
	FSimpleMulticastDelegate& OnLiveLinkTicked() override { return Ticked; }
	void Tick() { Ticked.Broadcast(); }
	bool HasTickRegistrations() const { return Ticked.IsBound(); }

	void PushSubjectStaticData_AnyThread(const FLiveLinkSubjectKey& SubjectKey, TSubclassOf<ULiveLinkRole> Role,
	                                     FLiveLinkStaticDataStruct&& StaticData) override
	{
		std::lock_guard<std::mutex> Guard(PushLock);
		LastStaticKey = SubjectKey;
		LastRole = Role;
		LastStaticData = MoveTemp(StaticData);
		++StaticPushCount;
	}
	void PushSubjectFrameData_AnyThread(const FLiveLinkSubjectKey& SubjectKey, FLiveLinkFrameDataStruct&& FrameData) override
	{
		std::lock_guard<std::mutex> Guard(PushLock);
		LastFrameKey = SubjectKey;
		LastFrameData = MoveTemp(FrameData);
		++FramePushCount;
	}

	/** Nothing to remove: the client keeps no subjects, only the last pushes. */
	void RemoveSubject_AnyThread(const FLiveLinkSubjectKey& SubjectKey) override {}
	/** None, for the same reason. */
	TArray<FLiveLinkSubjectKey> GetSubjects(bool bIncludeDisabledSubject, bool bIncludeVirtualSubject) const override { return {}; }

	int32 GetStaticPushCount() const
	{
		std::lock_guard<std::mutex> Guard(PushLock);
		return StaticPushCount;
	}
	int32 GetFramePushCount() const
	{
		std::lock_guard<std::mutex> Guard(PushLock);
		return FramePushCount;
	}
	TSubclassOf<ULiveLinkRole> GetLastRole() const
	{
		std::lock_guard<std::mutex> Guard(PushLock);
		return LastRole;
	}
	FLiveLinkSubjectKey GetLastStaticKey() const
	{
		std::lock_guard<std::mutex> Guard(PushLock);
		return LastStaticKey;
	}
	FLiveLinkSubjectKey GetLastFrameKey() const
	{
		std::lock_guard<std::mutex> Guard(PushLock);
		return LastFrameKey;
	}
	/** A copy of the last static data pushed; empty before the first push. */
	FLiveLinkStaticDataStruct GetLastStaticData() const
	{
		std::lock_guard<std::mutex> Guard(PushLock);
		FLiveLinkStaticDataStruct Copy;
		Copy.InitializeWith(LastStaticData);
		return Copy;
	}
	/** A copy of the last frame pushed; empty before the first push. */
	FLiveLinkFrameDataStruct GetLastFrameData() const
	{
		std::lock_guard<std::mutex> Guard(PushLock);
		FLiveLinkFrameDataStruct Copy;
		Copy.InitializeWith(LastFrameData);
		return Copy;
	}

private:
	FSimpleMulticastDelegate Ticked;

	/** Protects everything below. */
	mutable std::mutex PushLock;
	FLiveLinkSubjectKey LastStaticKey;
	FLiveLinkSubjectKey LastFrameKey;
	TSubclassOf<ULiveLinkRole> LastRole;
	FLiveLinkStaticDataStruct LastStaticData;
	FLiveLinkFrameDataStruct LastFrameData;
	int32 StaticPushCount = 0;
	int32 FramePushCount = 0;
};

#include "Features/IModularFeatures.h"

#include "Misc/ScopeLock.h"

namespace
{
class FModularFeatures final : public IModularFeatures
{
public:
	int32 GetModularFeatureImplementationCount(const FName Type) override
	{
		FScopeLock Guard(&ListLock);
		int32 Count = 0;
		for (const FEntry& Entry : Entries)
		{
			Count += Entry.Type == Type ? 1 : 0;
		}
		return Count;
	}

	IModularFeature* GetModularFeatureImplementation(const FName Type, const int32 Index) override
	{
		FScopeLock Guard(&ListLock);
		int32 Seen = 0;
		for (const FEntry& Entry : Entries)
		{
			if (Entry.Type == Type && Seen++ == Index)
			{
				return Entry.Feature;
			}
		}
		return nullptr;
	}

	void RegisterModularFeature(const FName Type, IModularFeature* ModularFeature) override
	{
		FScopeLock Guard(&ListLock);
		Entries.Add(FEntry{Type, ModularFeature});
	}

	void UnregisterModularFeature(const FName Type, IModularFeature* ModularFeature) override
	{
		FScopeLock Guard(&ListLock);
		for (int32 Index = 0; Index < Entries.Num(); ++Index)
		{
			if (Entries[Index].Type == Type && Entries[Index].Feature == ModularFeature)
			{
				Entries.RemoveAt(Index);
				return;
			}
		}
	}

private:
	struct FEntry
	{
		FName Type;
		IModularFeature* Feature;
	};

	/** Protects Entries. */
	FCriticalSection ListLock;
	TArray<FEntry> Entries;
};
} // namespace

IModularFeatures& IModularFeatures::Get()
{
	static FModularFeatures Features;
	return Features;
}

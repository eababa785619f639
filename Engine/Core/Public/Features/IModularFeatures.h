#pragma once

#include "CoreMinimal.h"
#include "Features/IModularFeature.h"

/**
 * The interfaces modules offer one another by name: a module registers an implementation under a feature's name
 * and others look it up there, several implementations of a name in the order they were registered.
 *
 * Threads: any thread; the list has a lock of its own. An implementation must be unregistered before it is
 * destroyed: the list keeps a plain pointer, and a lookup that finds a destroyed one crashes.
 */
class CORE_API IModularFeatures
{
public:
	/** The one list of the process. */
	static IModularFeatures& Get();

	virtual ~IModularFeatures() = default;

	/** How many implementations are registered under Type. */
	virtual int32 GetModularFeatureImplementationCount(const FName Type) = 0;
	/** The Index-th implementation registered under Type; null when there is none. */
	virtual IModularFeature* GetModularFeatureImplementation(const FName Type, const int32 Index) = 0;
	/** Adds ModularFeature under Type, after those registered before. */
	virtual void RegisterModularFeature(const FName Type, IModularFeature* ModularFeature) = 0;
	/** Removes ModularFeature from under Type; one not registered there: nothing. */
	virtual void UnregisterModularFeature(const FName Type, IModularFeature* ModularFeature) = 0;

	/** Whether at least one implementation is registered under Type. */
	bool IsModularFeatureAvailable(const FName Type) { return GetModularFeatureImplementationCount(Type) > 0; }

	/** The first implementation registered under Type. Asserts when there is none: call IsModularFeatureAvailable first. */
	template <typename TModularFeature> TModularFeature& GetModularFeature(const FName Type)
	{
		IModularFeature* Found = GetModularFeatureImplementation(Type, 0);
		check(Found != nullptr);
		return *static_cast<TModularFeature*>(Found);
	}
};

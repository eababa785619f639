#pragma once

#include "CoreMinimal.h"
#include "UObject/ObjectMacros.h"

/**
 * The base of the engine's object classes. Here an object is a plain C++ object owned by whoever made it: there
 * is no garbage collector, no outer and no name yet. What an object has is its class, which every class derived
 * with DECLARE_CLASS_INTRINSIC reports through GetClass().
 *
 * Threads: an object is no more thread-safe than its class says; GetClass() and StaticClass() may be called on
 * any thread.
 */
class COREUOBJECT_API UObject
{
public:
	typedef UObject ThisClass;

	UObject() = default;
	virtual ~UObject();
	UObject(const UObject&) = delete;
	UObject& operator=(const UObject&) = delete;

	/** The reflection object of UObject itself, the root of every class chain. */
	static UClass* StaticClass();

	/**
	 * The class of the most derived type that declared itself with DECLARE_CLASS_INTRINSIC. Like any virtual
	 * call, from inside a constructor or destructor it answers with the class being constructed or destroyed.
	 */
	UClass* GetClass() const { return GetClassForObject(); }

	/** True when the object's class is SomeBase or derives from it; false for a null SomeBase. */
	bool IsA(const UClass* SomeBase) const;
	template <class T>
	bool IsA() const
	{
		return IsA(T::StaticClass());
	}

protected:
	virtual UClass* GetClassForObject() const;
};

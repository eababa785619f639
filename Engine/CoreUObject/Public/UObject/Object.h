#pragma once

#include "CoreMinimal.h"
#include "UObject/ObjectMacros.h"
#include "UObject/WeakObjectPtr.h"

class FConfigCacheIni;

/**
 * The base of the engine's object classes. What an object has is its class, which every class derived with
 * DECLARE_CLASS_INTRINSIC reports through GetClass(), and its slot in the object array, through which weak
 * pointers find it (UObject/WeakObjectPtr.h). There is no outer and no name yet. An object made with NewObject
 * belongs to the collector, which destroys it once it is marked pending kill (see CollectGarbage in
 * UObject/UObjectGlobals.h); class default objects belong to their class, and any other object to whoever made it.
 *
 * Threads: an object is no more thread-safe than its class says; GetClass(), StaticClass(), GetUniqueID() and
 * IsPendingKill() may be called on any thread. Objects are marked pending kill on the game thread.
 */
class COREUOBJECT_API UObject
{
public:
	typedef UObject ThisClass;

	UObject();
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

	/** The object's slot in the object array; another object may have it once this one is gone. */
	int32 GetUniqueID() const { return InternalIndex; }

	/**
	 * Marks the object as gone for everyone who holds it weakly (weak pointers, UObject delegate bindings); the
	 * next CollectGarbage destroys it if NewObject made it. It cannot be taken back.
	 */
	void MarkPendingKill();
	bool IsPendingKill() const;

	/** True when the object's class is SomeBase or derives from it; false for a null SomeBase. */
	bool IsA(const UClass* SomeBase) const;
	template <class T> bool IsA() const { return IsA(T::StaticClass()); }

	/**
	 * Fills the object's config properties from its class's section of the config file (see
	 * GetDefaultConfigFilename). A missing file, section or key keeps the current value; a value that does not
	 * read as its property's type keeps it too and logs one warning naming the key and the file. Does nothing for
	 * a class without a config name. Game thread.
	 */
	void LoadConfig();
	/**
	 * Writes every property with all of RequiredPropertyFlags into the class's section of Filename (by default
	 * GetDefaultConfigFilename()), rereading the file first so that other sections, keys and comments stay as
	 * they are on disk. False when the class has no config name or the file could not be written (the old file
	 * is then left whole). Returns bool where the engine's returns nothing. Game thread.
	 */
	bool SaveConfig(uint64 RequiredPropertyFlags = CPF_Config, const TCHAR* Filename = nullptr, FConfigCacheIni* Config = nullptr,
	                bool bAllowCopyToDefaultObject = true);
	/** SaveConfig of the config properties to the project's defaults file, or to SpecificFileLocation when given. */
	bool UpdateDefaultConfigFile(const FString& SpecificFileLocation = FString());
	/** <project>/Config/Default<ConfigName>.ini; empty for a class without a config name. */
	FString GetDefaultConfigFilename() const;

protected:
	virtual UClass* GetClassForObject() const;

private:
	int32 InternalIndex;
};

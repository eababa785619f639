#pragma once

#include "CoreMinimal.h"
#include "UObject/ObjectMacros.h"

class FConfigCacheIni;

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
};

#pragma once

#include "CoreMinimal.h"

class FProperty;

/**
 * The text of one project setting on the host's command line: booleans as true/false, the port as a decimal
 * number 0 to 65535, the address as a dotted quad; every other property as its configuration text.
 */
struct FHostSettingText
{
	/** The property's value in Object as the command line writes it. */
	static FString Export(const FProperty& Property, const void* Object);

	/**
	 * Checks Text against the property's rules; empty when it may be set, otherwise why not (it names the key and
	 * what it accepts). Sets nothing.
	 */
	static FString Validate(const FProperty& Property, const FString& Text);

	/** Sets the property in Object from text that Validate accepted; false, changing nothing, for any other text. */
	static bool Import(const FProperty& Property, const FString& Text, void* Object);
};

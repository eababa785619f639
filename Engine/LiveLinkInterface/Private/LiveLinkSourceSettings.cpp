#include "LiveLinkSourceSettings.h"

#include "LiveLinkSourceFactory.h"
#include "UObject/GeneratedCppIncludes.h"

IMPLEMENT_CLASS_WITH_PROPERTIES(ULiveLinkSourceSettings, UE_SCRIPT_PACKAGE_NAME)
{
	// Mode, BufferSettings and Factory have no property type here yet; ConnectionString is what presets store.
	UE_PROPERTY(Builder, ConnectionString, CPF_None).ToolTip(TEXT("What the factory needs to make the source again, e.g. from a preset."));
}

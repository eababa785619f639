// What the engine's header tool would generate for OrvidaLiveLinkRuntimeSettings.h, written by hand: the class,
// its configuration and its properties as the header's UCLASS and UPROPERTY lines declare them.
#include "OrvidaLiveLinkRuntimeSettings.h"

#include "UObject/GeneratedCppIncludes.h"

IMPLEMENT_CLASS_WITH_PROPERTIES(UOrvidaLiveLinkRuntimeSettings, TEXT("/Script/OrvidaLiveLink"))
{
	Builder.Config(TEXT("Game"), CLASS_DefaultConfig).ToolTip(TEXT("Implements the settings Orvida Live Link plugin."));
	UE_PROPERTY(Builder, NetworkServerAddressByDefault, CPF_Config | CPF_Edit)
	    .Category(TEXT("Orvida"))
	    .ToolTip(TEXT("Specify a default network server address"));
	UE_PROPERTY(Builder, NetworkPortIdByDefault, CPF_Config | CPF_Edit)
	    .Category(TEXT("Orvida"))
	    .ToolTip(TEXT("Specify a default network port index for a Technocrane Camera"));
	UE_PROPERTY(Builder, bAutoLens, CPF_Config | CPF_Edit).Category(TEXT("Orvida")).ToolTip(TEXT("auto update the lens settings"));
	UE_PROPERTY(Builder, bAutoSceneTakeUpdate, CPF_Config | CPF_Edit).Category(TEXT("Orvida")).ToolTip(TEXT("auto update the scene/ take settings"));
	UE_PROPERTY(Builder, bAutoRecord, CPF_Config | CPF_Edit).Category(TEXT("Orvida")).ToolTip(TEXT("auto start / stop recording"));
	UE_PROPERTY(Builder, SubjectNameByDefault, CPF_Config | CPF_Edit)
	    .Category(TEXT("Orvida"))
	    .ToolTip(TEXT("Specify the default name of a new source's Live Link subject"));
}

#include "TestConfigSettings.h"

#include "UObject/GeneratedCppIncludes.h"

IMPLEMENT_CLASS_WITH_PROPERTIES(UTestConfigSettings, TEXT("/Script/EngineTests"))
{
	Builder.Config(TEXT("Game"), CLASS_DefaultConfig).ToolTip(TEXT("Settings for the config tests."));
	UE_PROPERTY(Builder, Address, CPF_Config | CPF_Edit).Category(TEXT("Test")).ToolTip(TEXT("Address to listen on"));
	UE_PROPERTY(Builder, Port, CPF_Config | CPF_Edit).Category(TEXT("Test")).ToolTip(TEXT("Port to listen on"));
	UE_PROPERTY(Builder, bEnabled, CPF_Config | CPF_Edit).Category(TEXT("Test"));
	UE_PROPERTY(Builder, Gain, CPF_Config | CPF_Edit).Category(TEXT("Test"));
	UE_PROPERTY(Builder, SessionOnly, CPF_Edit).Category(TEXT("Test"));
}

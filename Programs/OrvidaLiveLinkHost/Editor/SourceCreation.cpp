#include "Editor/SourceCreation.h"

#include "ILiveLinkSource.h"
#include "LiveLinkSourceFactory.h"
#include "OrvidaLiveLinkSource.h"

#include <cstdio>

namespace
{
TSharedPtr<ILiveLinkSource> CreateThroughPanel(const ULiveLinkSourceFactory& Factory, const FHostPanelChoices& Choices)
{
	TSharedPtr<ILiveLinkSource> Created;
	const TSharedPtr<SWidget> Panel = Factory.BuildCreationPanel(
	    ULiveLinkSourceFactory::FOnLiveLinkSourceCreated::CreateLambda([&Created](TSharedPtr<ILiveLinkSource> Source, FString) { Created = Source; }));
	FHostCreationPanel Input;
	if (!Panel.IsValid() || !Input.Find(Panel.ToSharedRef()) || !Input.Confirm(Choices))
	{
		std::fprintf(stderr, "orvida-livelink: the factory's creation panel lacks the widgets the host needs\n");
		return nullptr;
	}
	if (!Created.IsValid())
	{
		std::fprintf(stderr, "orvida-livelink: the creation panel's \"Ok\" made no source for %s\n",
		             Choices.EndpointText ? TCHAR_TO_UTF8(**Choices.EndpointText) : "the endpoint of the project settings");
	}
	return Created;
}
} // namespace

TSharedPtr<FOrvidaLiveLinkSource> CreateHostSource(const ULiveLinkSourceFactory& Factory, const FHostSourceRequest& Request)
{
	TSharedPtr<ILiveLinkSource> Source;
	if (Request.Path == FHostSourceRequest::EPath::CreationPanel)
	{
		Source = CreateThroughPanel(Factory, Request.Choices);
	}
	else
	{
		Source = Factory.CreateSource(Request.ConnectionString);
		if (!Source.IsValid())
		{
			std::fprintf(stderr, "orvida-livelink: the factory made no source from the connection string \"%s\"\n", TCHAR_TO_UTF8(*Request.ConnectionString));
		}
	}
	// The factory is the plug-in's, found by its registered class, and it makes only FOrvidaLiveLinkSource.
	return StaticCastSharedPtr<FOrvidaLiveLinkSource>(Source);
}

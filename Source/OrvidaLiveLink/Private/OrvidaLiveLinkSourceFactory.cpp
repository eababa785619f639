#include "OrvidaLiveLinkSourceFactory.h"

#include "OrvidaLiveLinkSource.h"
#include "OrvidaLiveLinkSourceCreation.h"
#include "SOrvidaLiveLinkSourceFactory.h"

#define LOCTEXT_NAMESPACE "OrvidaLiveLinkSourceFactory"

FText UOrvidaLiveLinkSourceFactory::GetSourceDisplayName() const { return LOCTEXT("SourceDisplayName", "Orvida LiveLink"); }

FText UOrvidaLiveLinkSourceFactory::GetSourceTooltip() const { return LOCTEXT("SourceTooltip", "Creates a connection to Vellacor Orvida"); }

ULiveLinkSourceFactory::EMenuType UOrvidaLiveLinkSourceFactory::GetMenuType() const { return EMenuType::SubPanel; }

TSharedPtr<SWidget> UOrvidaLiveLinkSourceFactory::BuildCreationPanel(FOnLiveLinkSourceCreated OnLiveLinkSourceCreated) const
{
	// The panel may outlive this factory, which the editor collects; the editor's callback rides along as a payload.
	return SNew(SOrvidaLiveLinkSourceFactory)
	    .OnConnectionSettingsAccepted(
	        FOnConnectionSettingsAccepted::CreateUObject(this, &UOrvidaLiveLinkSourceFactory::HandleConnectionSettingsAccepted, OnLiveLinkSourceCreated));
}

TSharedPtr<ILiveLinkSource> UOrvidaLiveLinkSourceFactory::CreateSource(const FString& ConnectionString) const
{
	return OrvidaLiveLinkSourceCreation::CreateSourceFromConnectionString(ConnectionString);
}

void UOrvidaLiveLinkSourceFactory::HandleConnectionSettingsAccepted(FOrvidaLiveLinkConnectionSettings ConnectionSettings,
                                                                    FOnLiveLinkSourceCreated OnLiveLinkSourceCreated) const
{
	FString ConnectionString;
	TSharedPtr<FOrvidaLiveLinkSource> Source = OrvidaLiveLinkSourceCreation::CreateSource(ConnectionSettings, ConnectionString);
	OnLiveLinkSourceCreated.ExecuteIfBound(Source, ConnectionString);
}

#undef LOCTEXT_NAMESPACE

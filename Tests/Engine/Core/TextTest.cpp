#include "Internationalization/Text.h"
#include "Internationalization/Internationalization.h"

#include <gtest/gtest.h>

#define LOCTEXT_NAMESPACE "TextTest"

TEST(Text, LocalisableLiteralsKeepNamespaceKeyAndSource)
{
	const FText ByNamespace = NSLOCTEXT("OrvidaLiveLink", "StatusReceiving", "Receiving");
	ASSERT_TRUE(FTextInspector::GetNamespace(ByNamespace).IsSet());
	ASSERT_TRUE(FTextInspector::GetKey(ByNamespace).IsSet());
	EXPECT_EQ(FTextInspector::GetNamespace(ByNamespace).GetValue().GetStdString(), u"OrvidaLiveLink");
	EXPECT_EQ(FTextInspector::GetKey(ByNamespace).GetValue().GetStdString(), u"StatusReceiving");
	EXPECT_EQ(FTextInspector::GetSourceString(ByNamespace).GetStdString(), u"Receiving");
	EXPECT_EQ(ByNamespace.ToString().GetStdString(), u"Receiving");

	const FText ByFileNamespace = LOCTEXT("SourceType", "Orvida Camera");
	ASSERT_TRUE(FTextInspector::GetNamespace(ByFileNamespace).IsSet());
	ASSERT_TRUE(FTextInspector::GetKey(ByFileNamespace).IsSet());
	EXPECT_EQ(FTextInspector::GetNamespace(ByFileNamespace).GetValue().GetStdString(), u"TextTest");
	EXPECT_EQ(FTextInspector::GetKey(ByFileNamespace).GetValue().GetStdString(), u"SourceType");
	EXPECT_EQ(ByFileNamespace.ToString().GetStdString(), u"Orvida Camera");
}

TEST(Text, TextFromAStringIsNotLocalisable)
{
	const FText FromString = FText::FromString(FString(TEXT("127.0.0.1:9001")));
	EXPECT_FALSE(FTextInspector::GetNamespace(FromString).IsSet());
	EXPECT_FALSE(FTextInspector::GetKey(FromString).IsSet());
	EXPECT_EQ(FromString.ToString().GetStdString(), u"127.0.0.1:9001");

	const FText Empty;
	EXPECT_TRUE(Empty.IsEmpty());
	EXPECT_FALSE(FTextInspector::GetNamespace(Empty).IsSet());
	EXPECT_FALSE(FTextInspector::GetKey(Empty).IsSet());
}

TEST(Text, EqualToComparesTheDisplayStringExactly)
{
	EXPECT_TRUE(FText::FromString(FString(TEXT("Live"))).EqualTo(NSLOCTEXT("Ns", "Key", "Live")));
	// Unlike FString's ==, a text that differs only in case is a different text.
	EXPECT_FALSE(FText::FromString(FString(TEXT("Live"))).EqualTo(FText::FromString(FString(TEXT("LIVE")))));
}

#undef LOCTEXT_NAMESPACE

#include "CoreMinimal.h"

#include <gtest/gtest.h>

TEST(StringComparison, EqualityIgnoresCaseButEqualsCanBeExact)
{
	const FString Lower(TEXT("no input"));
	const FString Mixed(TEXT("No Input"));
	EXPECT_TRUE(Lower == Mixed);
	EXPECT_TRUE(Lower.Equals(Mixed, ESearchCase::IgnoreCase));
	EXPECT_FALSE(Lower.Equals(Mixed, ESearchCase::CaseSensitive));
	EXPECT_TRUE(FString().Equals(FString(TEXT("")), ESearchCase::IgnoreCase));
	EXPECT_FALSE(FString().Equals(Mixed, ESearchCase::IgnoreCase));
	EXPECT_EQ(FCString::Stricmp(TEXT("M_QuarnDistortionPostProcess"), TEXT("m_quarndistortionpostprocess")), 0);
	EXPECT_NE(FCString::Stricmp(TEXT("1080p25"), TEXT("1080p50")), 0);
}

TEST(StringParsing, ParseIntoArrayKeepsOrCullsEmptyParts)
{
	TArray<FString> Parts;
	EXPECT_EQ(FString(TEXT("10.0.0.1,,10.0.0.2,")).ParseIntoArray(Parts, TEXT(","), false), 4);
	EXPECT_EQ(Parts[1], FString());
	EXPECT_EQ(Parts[3], FString());
	EXPECT_EQ(FString(TEXT("10.0.0.1,,10.0.0.2,")).ParseIntoArray(Parts, TEXT(","), true), 2);
	EXPECT_EQ(Parts[1], FString(TEXT("10.0.0.2")));
	EXPECT_EQ(FString().ParseIntoArray(Parts, TEXT(","), true), 0);
}

TEST(StringParsing, IsNumericAcceptsSignedDecimalsOnly)
{
	EXPECT_TRUE(FString(TEXT("255")).IsNumeric());
	EXPECT_TRUE(FString(TEXT("-1.5")).IsNumeric());
	EXPECT_FALSE(FString(TEXT("1.2.3")).IsNumeric());
	EXPECT_FALSE(FString(TEXT("12a")).IsNumeric());
	EXPECT_FALSE(FString().IsNumeric());
}

TEST(StringFormatting, PrintfReplacesEveryPlaceholder)
{
	const FString Message = FString::Printf(TEXT("Subject named %s has tracking status %s"), TEXT("Cam1"), *FString(TEXT("Lost")));
	EXPECT_TRUE(Message.Equals(TEXT("Subject named Cam1 has tracking status Lost"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(FString::Printf(TEXT("[%s]"), *FString()).Equals(TEXT("[]"), ESearchCase::CaseSensitive));
}

TEST(NameComparison, NamesCompareIgnoringCaseAndKeepTheirSpelling)
{
	const FName Upper(TEXT("CameraSubject"));
	const FName Lower(TEXT("camerasubject"));
	EXPECT_EQ(Upper, Lower);
	EXPECT_TRUE(Upper.ToString().Equals(TEXT("CameraSubject"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(Lower.ToString().Equals(TEXT("camerasubject"), ESearchCase::CaseSensitive));
	EXPECT_NE(Upper, FName(TEXT("CameraSubject2")));
	EXPECT_TRUE(FName().IsNone());
	EXPECT_TRUE(FName(TEXT("")).IsNone());
}

TEST(NameDisplay, BoolPropertyNamesLoseTheirPrefix)
{
	EXPECT_TRUE(FName::NameToDisplayString(TEXT("bMultiEngineMaster"), true).Equals(TEXT("Multi Engine Master"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(FName::NameToDisplayString(TEXT("OtherMultiEngineIps"), false).Equals(TEXT("Other Multi Engine Ips"), ESearchCase::CaseSensitive));
}

TEST(ColorEquality, EngineConstantsCompareExactly)
{
	EXPECT_EQ(FLinearColor::Red, FLinearColor(1.f, 0.f, 0.f, 1.f));
	EXPECT_EQ(FLinearColor::Yellow, FLinearColor(1.f, 1.f, 0.f, 1.f));
	EXPECT_NE(FLinearColor::Red, FLinearColor(1.f, 0.f, 0.f, 0.999f));
}

#include "EngineTestFixture.h"
#include "ReflectionSample.h"

#include <fstream>
#include <sstream>

using Reflection = FObjectSystemTest;

namespace
{
	TArray<FString> PropertyNames(const UStruct* Struct)
	{
		TArray<FString> Names;
		for (const FProperty* Property : Struct->GetOwnProperties())
		{
			Names.Add(Property->GetName());
		}
		return Names;
	}

	std::string ReadFile(const std::filesystem::path& Path)
	{
		std::ifstream Stream(Path);
		std::stringstream Buffer;
		Buffer << Stream.rdbuf();
		return Buffer.str();
	}
} // namespace

TEST_F(Reflection, ClassKnowsItsNameSuperAndPackage)
{
	UClass* Class = UReflectionSampleSettings::StaticClass();
	EXPECT_TRUE(Class->GetName().Equals(TEXT("ReflectionSampleSettings"), ESearchCase::CaseSensitive));
	EXPECT_EQ(Class->GetSuperClass(), UObject::StaticClass());
	EXPECT_TRUE(Class->GetStructPathName().Equals(TEXT("/Script/ReflectionSample.ReflectionSampleSettings"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(Class->HasAnyClassFlags(CLASS_Config | CLASS_DefaultConfig));
	EXPECT_EQ(Class->GetConfigName(), FName(TEXT("Game")));
	EXPECT_TRUE(Class->GetMetaData(TEXT("ToolTip")).Equals(TEXT("Sample settings\nused by the reflection tests"), ESearchCase::CaseSensitive));
	EXPECT_EQ(FReflectionRegistry::FindClass(TEXT("ReflectionSampleSettings")), Class);
}

TEST_F(Reflection, PropertiesComeInDeclarationOrderWithFlagsAndMetadata)
{
	const UClass* Class = UReflectionSampleSettings::StaticClass();
	EXPECT_EQ(PropertyNames(Class), (TArray<FString>{TEXT("bEnabled"), TEXT("Addresses"), TEXT("Mode"), TEXT("Value"), TEXT("Hidden")}));

	const FProperty* Addresses = Class->FindPropertyByName(TEXT("Addresses"));
	ASSERT_NE(Addresses, nullptr);
	EXPECT_EQ(Addresses->GetKind(), EPropertyKind::Array);
	EXPECT_EQ(Addresses->GetInner()->GetKind(), EPropertyKind::Str);
	EXPECT_TRUE(Addresses->HasAllPropertyFlags(CPF_Config | CPF_Edit));
	EXPECT_TRUE(Addresses->GetMetaData(TEXT("EditCondition")).Equals(TEXT("bEnabled"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(Addresses->GetMetaData(TEXT("ConfigRestartRequired")).Equals(TEXT("TRUE"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(Addresses->GetMetaData(TEXT("ToolTip")).Equals(TEXT("Addresses, one per line"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(Addresses->GetMetaData(TEXT("Category")).Equals(TEXT("Quarn|Live"), ESearchCase::CaseSensitive));

	const FProperty* Mode = Class->FindPropertyByName(TEXT("Mode"));
	EXPECT_EQ(Mode->GetKind(), EPropertyKind::Enum);
	EXPECT_TRUE(Mode->HasAnyPropertyFlags(CPF_AdvancedDisplay));

	const FProperty* Value = Class->FindPropertyByName(TEXT("Value"));
	EXPECT_EQ(Value->GetKind(), EPropertyKind::Struct);
	EXPECT_TRUE(Value->HasAllPropertyFlags(CPF_Edit | CPF_EditConst | CPF_BlueprintVisible | CPF_BlueprintReadOnly));

	const FProperty* Hidden = Class->FindPropertyByName(TEXT("Hidden"));
	EXPECT_FALSE(Hidden->HasAnyPropertyFlags(CPF_Edit | CPF_BlueprintVisible));
	EXPECT_TRUE(Hidden->HasAnyPropertyFlags(CPF_NativeAccessSpecifierPrivate));
}

TEST_F(Reflection, EnumDisplayNamesFallBackToTheShortName)
{
	const UEnum* Enum = StaticEnum<EReflectionSampleMode>();
	EXPECT_TRUE(Enum->GetDisplayNameTextByValue(1).ToString().Equals(TEXT("Fancy Mode"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(Enum->GetDisplayNameTextByValue(0).ToString().Equals(TEXT("Plain"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(Enum->GetDisplayNameTextByValue(5).ToString().Equals(TEXT("Skipped"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(Enum->GetDisplayNameTextByValue(4).ToString().IsEmpty());
}

TEST_F(Reflection, StructValuesExportAndImportAsText)
{
	const FProperty* Value = UReflectionSampleSettings::StaticClass()->FindPropertyByName(TEXT("Value"));
	FReflectionSampleValue Sample;
	Sample.Count = 3;
	Sample.Label = TEXT("a,b");
	FString Text;
	Value->ExportTextItem(Text, &Sample);
	EXPECT_TRUE(Text.Equals(TEXT("(Count=3,Label=\"a,b\")"), ESearchCase::CaseSensitive));
	FReflectionSampleValue Parsed;
	ASSERT_TRUE(Value->ImportText(*Text, &Parsed));
	EXPECT_EQ(Parsed.Count, 3);
	EXPECT_TRUE(Parsed.Label.Equals(TEXT("a,b"), ESearchCase::CaseSensitive));
	EXPECT_FALSE(Value->ImportText(TEXT("(Count=x)"), &Parsed));
}

TEST_F(Reflection, FunctionsAreCallableThroughTheirThunks)
{
	UReflectionSampleSettings* Object = NewObject<UReflectionSampleSettings>();
	UFunction* Add = Object->GetClass()->FindFunctionByName(TEXT("Add"));
	ASSERT_NE(Add, nullptr);
	EXPECT_TRUE(Add->HasAnyFunctionFlags(FUNC_BlueprintCallable));
	void* Parms = Add->NewParms();
	*Add->GetParameters()[0]->ContainerPtrToValuePtr<int32>(Parms) = 2;
	*Add->GetParameters()[1]->ContainerPtrToValuePtr<int32>(Parms) = 40;
	Object->ProcessEvent(Add, Parms);
	EXPECT_EQ(*Add->GetParameters().Last()->ContainerPtrToValuePtr<int32>(Parms), 42) << "the return value comes last";
	Add->DeleteParms(Parms);

	UFunction* Describe = Object->GetClass()->FindFunctionByName(TEXT("Describe"));
	ASSERT_NE(Describe, nullptr);
	EXPECT_TRUE(Describe->HasAnyFunctionFlags(FUNC_Static));
	EXPECT_TRUE(Describe->GetParameters()[0]->HasAnyPropertyFlags(CPF_OutParm));
}

TEST_F(Reflection, ConfigRoundTripsThroughTheDefaultIni)
{
	const std::filesystem::path Ini = ProjectDir / "Config" / "DefaultGame.ini";
	std::filesystem::create_directories(Ini.parent_path());
	std::ofstream(Ini) << "; kept comment\n[Other]\nKey=1\n";

	UReflectionSampleSettings* Settings = GetMutableDefault<UReflectionSampleSettings>();
	EXPECT_FALSE(Settings->bEnabled);
	Settings->bEnabled = true;
	Settings->Addresses = {TEXT("10.0.0.1"), TEXT("10.0.0.2")};
	Settings->Mode = EReflectionSampleMode::Fancy;
	// The settings editor's save of a default-config class.
	ASSERT_TRUE(Settings->TryUpdateDefaultConfigFile());

	const std::string Written = ReadFile(Ini);
	EXPECT_NE(Written.find("; kept comment\n[Other]\nKey=1\n"), std::string::npos);
	EXPECT_NE(Written.find("[/Script/ReflectionSample.ReflectionSampleSettings]"), std::string::npos);
	EXPECT_NE(Written.find("+Addresses=10.0.0.1\n+Addresses=10.0.0.2\n"), std::string::npos);

	// A fresh object system's default object reads the file back.
	ShutdownUObject();
	InitUObject();
	GConfig->Flush(true);
	UReflectionSampleSettings* Reloaded = GetMutableDefault<UReflectionSampleSettings>();
	EXPECT_TRUE(Reloaded->bEnabled);
	EXPECT_EQ(Reloaded->Addresses, (TArray<FString>{TEXT("10.0.0.1"), TEXT("10.0.0.2")}));
	EXPECT_EQ(Reloaded->Mode, EReflectionSampleMode::Fancy);
}

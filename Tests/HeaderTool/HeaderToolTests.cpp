// Runs the HeaderTool executable on fixture headers and inspects what it writes.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace
{
	namespace fs = std::filesystem;

	const fs::path FixturesDir = HEADERTOOL_FIXTURES;

	struct ToolRun
	{
		int exitCode = -1;
		std::string output; // stdout and stderr
	};

	std::string quote(const std::string& text)
	{
		std::string quoted = "'";
		for (char c : text)
		{
			quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
		}
		return quoted + "'";
	}

	ToolRun runTool(const std::string& arguments)
	{
		ToolRun run;
		const std::string command = quote(HEADERTOOL_EXE) + " " + arguments + " 2>&1";
		FILE* pipe = popen(command.c_str(), "r");
		if (!pipe)
		{
			return run;
		}
		char buffer[4096];
		size_t count = 0;
		while ((count = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
		{
			run.output.append(buffer, count);
		}
		const int status = pclose(pipe);
		run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
		return run;
	}

	// A fresh output folder per test, so runs never see each other's files.
	fs::path freshOutputDir()
	{
		const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
		std::string name = std::string(info->test_suite_name()) + "_" + info->name();
		for (char& c : name)
		{
			c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
		}
		const fs::path dir = fs::path(HEADERTOOL_SCRATCH) / name;
		fs::remove_all(dir);
		return dir;
	}

	ToolRun runOn(const std::string& module, const fs::path& outputDir, const std::vector<fs::path>& headers)
	{
		std::string arguments = "--module " + module + " --package /Script/" + module + " --output " + quote(outputDir.string());
		for (const fs::path& header : headers)
		{
			arguments += " " + quote(header.string());
		}
		return runTool(arguments);
	}

	std::string readText(const fs::path& path)
	{
		std::ifstream stream(path, std::ios::binary);
		std::ostringstream buffer;
		buffer << stream.rdbuf();
		return buffer.str();
	}

	std::set<std::string> splitFlags(const std::string& text)
	{
		std::set<std::string> flags;
		std::stringstream stream(text);
		std::string word;
		while (stream >> word)
		{
			if (word != "|")
			{
				flags.insert(word);
			}
		}
		return flags;
	}

	// The flags argument of the MakeProperty call for Owner::Name (owner may be a parameter struct).
	std::set<std::string> propertyFlags(const std::string& source, const std::string& owner, const std::string& name)
	{
		const std::string anchor = "MakeProperty<decltype(" + owner + "::" + name + ")>(";
		const size_t start = source.find(anchor);
		if (start == std::string::npos)
		{
			return {"<no property " + owner + "::" + name + ">"};
		}
		// Skip the two TEXT() arguments: flags follow the second "), ".
		size_t cursor = source.find("), ", start + anchor.size());
		cursor = source.find("), ", cursor + 3) + 3;
		return splitFlags(source.substr(cursor, source.find(',', cursor) - cursor));
	}

	std::set<std::string> functionFlags(const std::string& source, const std::string& name)
	{
		const std::string anchor = "{.Name = TEXT(\"" + name + "\"), .FunctionFlags = ";
		const size_t start = source.find(anchor);
		if (start == std::string::npos)
		{
			return {"<no function " + name + ">"};
		}
		const size_t cursor = start + anchor.size();
		return splitFlags(source.substr(cursor, source.find(',', cursor) - cursor));
	}

	// The flags of a ConstructClass/ConstructStruct/ConstructDelegateSignature call, which follow
	// the package (and, for classes, the config name).
	std::set<std::string> descriptorFlags(const std::string& source, const std::string& name, int argumentsBefore)
	{
		const std::string anchor = "({TEXT(\"" + name + "\"), ";
		const size_t start = source.find(anchor);
		if (start == std::string::npos)
		{
			return {"<no descriptor " + name + ">"};
		}
		size_t cursor = start + anchor.size();
		for (int i = 0; i < argumentsBefore; ++i)
		{
			cursor = source.find(", ", cursor) + 2;
		}
		return splitFlags(source.substr(cursor, source.find(',', cursor) - cursor));
	}

	// The lines of a GENERATED_BODY macro, without the trailing backslashes.
	std::vector<std::string> macroLines(const std::string& header, const std::string& macroName)
	{
		std::vector<std::string> lines;
		const size_t start = header.find("#define " + macroName + " \\\n");
		if (start == std::string::npos)
		{
			return lines;
		}
		std::stringstream stream(header.substr(header.find('\n', start) + 1));
		std::string line;
		while (std::getline(stream, line))
		{
			const bool bContinues = !line.empty() && line.back() == '\\';
			if (bContinues)
			{
				line.pop_back();
			}
			const size_t first = line.find_first_not_of(" \t");
			const size_t last = line.find_last_not_of(" \t");
			lines.push_back(first == std::string::npos ? std::string() : line.substr(first, last - first + 1));
			if (!bContinues)
			{
				break;
			}
		}
		return lines;
	}

	// A generated function definition from its signature to its closing brace; empty when there is none.
	std::string definitionBody(const std::string& source, const std::string& signature)
	{
		const size_t definition = source.find(signature + "\n{");
		return definition == std::string::npos ? std::string() : source.substr(definition, source.find("\n}", definition) - definition);
	}

	bool contains(const std::vector<std::string>& lines, const std::string& wanted)
	{
		for (const std::string& line : lines)
		{
			if (line == wanted)
			{
				return true;
			}
		}
		return false;
	}

	// Runs the tool on one fixture header of a module and keeps both files it writes.
	class GeneratedFilesTest : public testing::Test
	{
	protected:
		void generate(const std::string& module, const fs::path& header)
		{
			const fs::path outputDir = freshOutputDir();
			const ToolRun run = runOn(module, outputDir, {FixturesDir / module / header});
			ASSERT_EQ(run.exitCode, 0) << run.output;
			generatedHeader = readText(outputDir / (header.stem().string() + ".generated.h"));
			source = readText(outputDir / (header.stem().string() + ".gen.cpp"));
			ASSERT_FALSE(generatedHeader.empty());
			ASSERT_FALSE(source.empty());
		}

		std::string generatedHeader;
		std::string source;
	};

	class SampleHeaderTest : public GeneratedFilesTest
	{
	protected:
		void SetUp() override { generate("Sample", fs::path("Public") / "SampleThing.h"); }
	};

	TEST_F(SampleHeaderTest, GeneratedHeaderDefinesBodyMacrosPerLine)
	{
		EXPECT_NE(generatedHeader.find("#ifdef SAMPLE_SampleThing_generated_h\n#error"), std::string::npos);
		EXPECT_NE(generatedHeader.find("#define CURRENT_FILE_ID FID_Sample_SampleThing_h\n"), std::string::npos);
		EXPECT_NE(generatedHeader.find("enum class ESampleMode : uint8;"), std::string::npos);
		EXPECT_NE(generatedHeader.find("template <> UEnum* StaticEnum<ESampleMode>();"), std::string::npos);
		EXPECT_NE(generatedHeader.find("template <> UScriptStruct* StaticStruct<struct FSamplePoint>();"), std::string::npos);
		EXPECT_NE(generatedHeader.find("template <> UClass* StaticClass<class USampleObject>();"), std::string::npos);

		const std::vector<std::string> structBody = macroLines(generatedHeader, "FID_Sample_SampleThing_h_17_GENERATED_BODY");
		ASSERT_FALSE(structBody.empty()) << generatedHeader;
		EXPECT_TRUE(contains(structBody, "friend struct Z_Construct_UScriptStruct_FSamplePoint_Statics;"));
		EXPECT_TRUE(contains(structBody, "static UScriptStruct* StaticStruct();"));
		EXPECT_FALSE(contains(structBody, "using Super = FSamplePoint;"));
		EXPECT_EQ(structBody.back(), "public:");

		const std::vector<std::string> classBody = macroLines(generatedHeader, "FID_Sample_SampleThing_h_30_GENERATED_BODY");
		ASSERT_FALSE(classBody.empty()) << generatedHeader;
		EXPECT_TRUE(contains(classBody, "using Super = UObject;"));
		EXPECT_TRUE(contains(classBody, "using ThisClass = USampleObject;"));
		EXPECT_TRUE(contains(classBody, "static UClass* StaticClass();"));
		EXPECT_TRUE(contains(classBody, "friend struct Z_Construct_UClass_USampleObject_Statics;"));
		EXPECT_TRUE(contains(classBody, "static const TCHAR* StaticConfigName() { return TEXT(\"Game\"); }")) << "a config= class gets its configuration name";
		EXPECT_EQ(classBody.back(), "private:");
	}

	TEST_F(SampleHeaderTest, SourceIncludesHeaderByAbsolutePath)
	{
		const std::string header = fs::absolute(FixturesDir / "Sample" / "Public" / "SampleThing.h").lexically_normal().generic_string();
		EXPECT_NE(source.find("#include \"" + header + "\"\n#include \"UObject/GeneratedCodeHelpers.h\""), std::string::npos) << source;
	}

	TEST_F(SampleHeaderTest, EnumListsEnumeratorsWithMetadata)
	{
		EXPECT_NE(source.find("UECodeGen::ConstructEnum({TEXT(\"ESampleMode\"), TEXT(\"/Script/Sample\"), {{TEXT(\"BlueprintType\"), TEXT(\"true\")}}},"), std::string::npos);
		EXPECT_NE(source.find("{.NameUTF8 = TEXT(\"ESampleMode::First\"), .Value = static_cast<int64>(ESampleMode::First), .MetaData = {{TEXT(\"DisplayName\"), TEXT(\"First Mode\")}}}"), std::string::npos);
		EXPECT_NE(source.find("{.NameUTF8 = TEXT(\"ESampleMode::Second\"), .Value = static_cast<int64>(ESampleMode::Second), .MetaData = {{TEXT(\"ToolTip\"), TEXT(\"The second one\")}}}"), std::string::npos);
		EXPECT_NE(source.find("static UECodeGen::FRegisterCompiledInEnum Z_CompiledIn_UEnum_ESampleMode(&StaticEnum<ESampleMode>);"), std::string::npos);
	}

	TEST_F(SampleHeaderTest, StructDescriptorAndProperty)
	{
		EXPECT_NE(source.find("UECodeGen::ConstructStruct({TEXT(\"SamplePoint\"), TEXT(\"/Script/Sample\"), STRUCT_Native, {{TEXT(\"BlueprintType\"), TEXT(\"true\")}}},\n\t\t\tnullptr, UECodeGen::MakeStructOps<FSamplePoint>(),"), std::string::npos) << source;
		EXPECT_EQ(propertyFlags(source, "FSamplePoint", "X"), (std::set<std::string>{"CPF_Edit", "CPF_BlueprintVisible", "CPF_NativeAccessSpecifierPublic"}));
		EXPECT_NE(source.find("[](void* C) -> void* { return &static_cast<FSamplePoint*>(C)->X; }"), std::string::npos);
		EXPECT_NE(source.find("{{TEXT(\"Category\"), TEXT(\"Sample\")}, {TEXT(\"ToolTip\"), TEXT(\"Horizontal position\")}}"), std::string::npos);
		EXPECT_NE(source.find("UScriptStruct* FSamplePoint::StaticStruct()"), std::string::npos);
		EXPECT_NE(source.find("template <> UScriptStruct* StaticStruct<FSamplePoint>() { return FSamplePoint::StaticStruct(); }"), std::string::npos);
		EXPECT_NE(source.find("Z_CompiledIn_UScriptStruct_FSamplePoint(&StaticStruct<FSamplePoint>);"), std::string::npos);
	}

	TEST_F(SampleHeaderTest, DelegateSignature)
	{
		EXPECT_NE(source.find("struct Parms { int32 NewValue; };"), std::string::npos);
		EXPECT_NE(source.find("UECodeGen::ConstructDelegateSignature({TEXT(\"OnSampleChanged__DelegateSignature\"), TEXT(\"/Script/Sample\"), "), std::string::npos);
		EXPECT_EQ(descriptorFlags(source, "OnSampleChanged__DelegateSignature", 1), (std::set<std::string>{"FUNC_MulticastDelegate", "FUNC_Public", "FUNC_Delegate"}));
		EXPECT_EQ(propertyFlags(source, "Parms", "NewValue"), (std::set<std::string>{"CPF_Parm"}));
		EXPECT_NE(source.find("UFunction* FOnSampleChanged::GetSignature()"), std::string::npos);
		EXPECT_NE(source.find("Z_CompiledIn_UDelegateFunction_OnSampleChanged(&FOnSampleChanged::GetSignature);"), std::string::npos);
	}

	TEST_F(SampleHeaderTest, ClassDescriptorAndProperties)
	{
		EXPECT_NE(source.find("UECodeGen::ConstructClass({TEXT(\"SampleObject\"), TEXT(\"/Script/Sample\"), TEXT(\"Game\"), "), std::string::npos) << source;
		EXPECT_EQ(descriptorFlags(source, "SampleObject", 2), (std::set<std::string>{"CLASS_Config", "CLASS_DefaultConfig", "CLASS_Native"}));
		EXPECT_NE(source.find("{TEXT(\"ToolTip\"), TEXT(\"A sample class\")}"), std::string::npos);
		EXPECT_NE(source.find("{TEXT(\"IncludePath\"), TEXT(\"SampleThing.h\")}"), std::string::npos);
		EXPECT_NE(source.find("{TEXT(\"ModuleRelativePath\"), TEXT(\"Public/SampleThing.h\")}"), std::string::npos);
		EXPECT_NE(source.find("UObject::StaticClass(), sizeof(USampleObject), &UECodeGen::ConstructObject<USampleObject>,"), std::string::npos);

		EXPECT_NE(source.find("MakeProperty<decltype(USampleObject::Names)>(TEXT(\"Names\"), TEXT(\"TArray<FString>\"), "), std::string::npos);
		EXPECT_EQ(propertyFlags(source, "USampleObject", "Names"), (std::set<std::string>{"CPF_Edit", "CPF_Config", "CPF_NativeAccessSpecifierPublic"}));
		EXPECT_NE(source.find("{{TEXT(\"Category\"), TEXT(\"Sample\")}, {TEXT(\"EditCondition\"), TEXT(\"bEnabled\")}, {TEXT(\"ConfigRestartRequired\"), TEXT(\"true\")}, {TEXT(\"AdvancedDisplay\"), TEXT(\"\")}, {TEXT(\"ToolTip\"), TEXT(\"Names to use,\\none per line\")}}"), std::string::npos);
		EXPECT_EQ(propertyFlags(source, "USampleObject", "OnChanged"), (std::set<std::string>{"CPF_BlueprintAssignable", "CPF_NativeAccessSpecifierPublic"}));
		EXPECT_EQ(propertyFlags(source, "USampleObject", "bHidden"), (std::set<std::string>{"CPF_NativeAccessSpecifierPrivate"}));
		EXPECT_NE(source.find("Z_CompiledIn_UClass_USampleObject(&USampleObject::StaticClass);"), std::string::npos);
	}

	TEST_F(SampleHeaderTest, StaticFunctionWithOutParameter)
	{
		EXPECT_NE(source.find("struct SampleObject_eventGetThing_Parms { FString Out; };"), std::string::npos);
		EXPECT_NE(source.find("\t\t(void)Context;\n\t\tSampleObject_eventGetThing_Parms& Parms = *static_cast<SampleObject_eventGetThing_Parms*>(InParms);\n\t\tUSampleObject::GetThing(Parms.Out);"), std::string::npos) << source;
		EXPECT_EQ(functionFlags(source, "GetThing"), (std::set<std::string>{"FUNC_Native", "FUNC_Static", "FUNC_Final", "FUNC_Public", "FUNC_BlueprintCallable", "FUNC_HasOutParms"}));
		EXPECT_EQ(propertyFlags(source, "SampleObject_eventGetThing_Parms", "Out"), (std::set<std::string>{"CPF_Parm", "CPF_OutParm"}));
		EXPECT_NE(source.find(".Thunk = &execGetThing, .ParmsSize = sizeof(SampleObject_eventGetThing_Parms), .ConstructParms = &ConstructParms<SampleObject_eventGetThing_Parms>, .DestructParms = &DestructParms<SampleObject_eventGetThing_Parms>,"), std::string::npos);
	}

	TEST_F(SampleHeaderTest, ConstFunctionWithReturnValue)
	{
		EXPECT_NE(source.find("struct SampleObject_eventSum_Parms { int32 A; FSamplePoint P; int32 ReturnValue; };"), std::string::npos);
		EXPECT_NE(source.find("Parms.ReturnValue = static_cast<USampleObject*>(Context)->Sum(Parms.A, Parms.P);"), std::string::npos);
		EXPECT_EQ(functionFlags(source, "Sum"), (std::set<std::string>{"FUNC_Native", "FUNC_Final", "FUNC_Public", "FUNC_Const", "FUNC_BlueprintCallable", "FUNC_BlueprintPure"}));
		EXPECT_EQ(propertyFlags(source, "SampleObject_eventSum_Parms", "A"), (std::set<std::string>{"CPF_Parm"}));
		EXPECT_EQ(propertyFlags(source, "SampleObject_eventSum_Parms", "P"), (std::set<std::string>{"CPF_Parm", "CPF_ConstParm", "CPF_ReferenceParm"}));
		EXPECT_EQ(propertyFlags(source, "SampleObject_eventSum_Parms", "ReturnValue"), (std::set<std::string>{"CPF_Parm", "CPF_OutParm", "CPF_ReturnParm"}));
		EXPECT_NE(source.find("{{TEXT(\"Category\"), TEXT(\"Sample\")}, {TEXT(\"Keywords\"), TEXT(\"Add Sum\")}}"), std::string::npos);
	}

	TEST_F(SampleHeaderTest, ImplementableEventIsDefinedThroughProcessEvent)
	{
		EXPECT_EQ(functionFlags(source, "ReceivePlay"), (std::set<std::string>{"FUNC_Event", "FUNC_BlueprintEvent", "FUNC_Public"}));
		EXPECT_EQ(source.find("execReceivePlay"), std::string::npos);
		EXPECT_NE(source.find("FUNC_Public, .Thunk = nullptr, .ParmsSize = sizeof(SampleObject_eventReceivePlay_Parms)"), std::string::npos);
		EXPECT_NE(source.find("{{TEXT(\"Category\"), TEXT(\"Sample\")}, {TEXT(\"DisplayName\"), TEXT(\"On Play\")}}"), std::string::npos);
		const std::string body = definitionBody(source, "void USampleObject::ReceivePlay(int32 Index)");
		ASSERT_FALSE(body.empty()) << source;
		EXPECT_NE(body.find("Z_Construct_UClass_USampleObject_Statics::SampleObject_eventReceivePlay_Parms "), std::string::npos);
		EXPECT_NE(body.find(".Index = Index;"), std::string::npos);
		EXPECT_NE(body.find("ProcessEvent("), std::string::npos);
		EXPECT_NE(body.find("FindFunctionChecked(FName(TEXT(\"ReceivePlay\")))"), std::string::npos);
	}

	class FeaturesHeaderTest : public GeneratedFilesTest
	{
	protected:
		void SetUp() override { generate("Features", fs::path("Public") / "Sub" / "FeatureTypes.h"); }
	};

	TEST_F(FeaturesHeaderTest, DerivedStructNamesItsSuper)
	{
		EXPECT_TRUE(contains(macroLines(generatedHeader, "FID_Features_FeatureTypes_h_35_GENERATED_BODY"), "using Super = FFeatureBase;")) << generatedHeader;
		EXPECT_FALSE(contains(macroLines(generatedHeader, "FID_Features_FeatureTypes_h_22_GENERATED_BODY"), "using Super = FFeatureBase;"));
		EXPECT_NE(source.find("FFeatureBase::StaticStruct(), UECodeGen::MakeStructOps<FFeatureDerived>(),"), std::string::npos);
		EXPECT_EQ(descriptorFlags(source, "FeatureDerived", 1), (std::set<std::string>{"STRUCT_Native", "STRUCT_Atomic"}));
		EXPECT_NE(source.find("{TEXT(\"ToolTip\"), TEXT(\"Derived.\")}"), std::string::npos);
	}

	TEST_F(FeaturesHeaderTest, RegularEnumUsesPlainNamesAndEscapesMetadata)
	{
		EXPECT_NE(generatedHeader.find("enum EFeatureBits : uint8;"), std::string::npos);
		EXPECT_NE(source.find("{.NameUTF8 = TEXT(\"Bit_A\"), .Value = static_cast<int64>(EFeatureBits::Bit_A), .MetaData = {{TEXT(\"Hidden\"), TEXT(\"\")}}}"), std::string::npos) << source;
		EXPECT_NE(source.find("{{TEXT(\"DisplayName\"), TEXT(\"Bit \\\"B\\\"\")}, {TEXT(\"ToolTip\"), TEXT(\"back\\\\slash\")}}"), std::string::npos);
		EXPECT_NE(source.find("{TEXT(\"UseEnumValuesAsMaskValuesInEditor\"), TEXT(\"true\")}"), std::string::npos);
	}

	TEST_F(FeaturesHeaderTest, OnlyDocCommentsBecomeToolTips)
	{
		EXPECT_EQ(source.find("plain block comment"), std::string::npos);
		EXPECT_EQ(source.find("line comment"), std::string::npos);
		EXPECT_EQ(source.find("inside a directive"), std::string::npos);
	}

	TEST_F(FeaturesHeaderTest, PropertySpecifiersIgnoreCaseAndTypesKeepTheirText)
	{
		EXPECT_EQ(propertyFlags(source, "FFeatureDerived", "Label"), (std::set<std::string>{"CPF_Edit", "CPF_DisableEditOnInstance", "CPF_BlueprintVisible", "CPF_BlueprintReadOnly", "CPF_NativeAccessSpecifierPublic"}));
		EXPECT_NE(source.find("TEXT(\"TMap<FName, TArray<TArray<int32>>>\")"), std::string::npos);
		EXPECT_NE(source.find("TEXT(\"TArray<TSubclassOf<UObject>>\")"), std::string::npos);
		EXPECT_EQ(propertyFlags(source, "FFeatureBase", "Nested"), (std::set<std::string>{"CPF_Edit", "CPF_EditConst", "CPF_NativeAccessSpecifierPublic"}));
		EXPECT_EQ(source.find("NotReflected"), std::string::npos);
	}

	TEST_F(FeaturesHeaderTest, ClassPropertiesCarryFlagsAndAccess)
	{
		EXPECT_EQ(propertyFlags(source, "UFeatureObject", "Child"), (std::set<std::string>{"CPF_Edit", "CPF_DisableEditOnTemplate", "CPF_InstancedReference", "CPF_ExportObject", "CPF_NativeAccessSpecifierPublic"}));
		EXPECT_NE(source.find("{{TEXT(\"EditInline\"), TEXT(\"true\")}, {TEXT(\"Category\"), TEXT(\"A|B\")}}"), std::string::npos);
		EXPECT_EQ(propertyFlags(source, "UFeatureObject", "Count"), (std::set<std::string>{"CPF_Transient", "CPF_SaveGame", "CPF_NativeAccessSpecifierPublic"}));
		EXPECT_NE(source.find("{{TEXT(\"DisplayName\"), TEXT(\"Count (\\\"n\\\")\")}, {TEXT(\"ClampMin\"), TEXT(\"-1\")}, {TEXT(\"ClampMax\"), TEXT(\"0.5f\")}}"), std::string::npos);
		EXPECT_EQ(propertyFlags(source, "UFeatureObject", "Filter"), (std::set<std::string>{"CPF_BlueprintCallable", "CPF_NativeAccessSpecifierPublic"}));
		EXPECT_EQ(propertyFlags(source, "UFeatureObject", "Speed"), (std::set<std::string>{"CPF_Config", "CPF_GlobalConfig", "CPF_Edit", "CPF_BlueprintVisible", "CPF_Interp", "CPF_NativeAccessSpecifierProtected"}));
		EXPECT_EQ(propertyFlags(source, "UFeatureObject", "Classes"), (std::set<std::string>{"CPF_Edit", "CPF_EditConst", "CPF_DisableEditOnTemplate", "CPF_BlueprintVisible", "CPF_BlueprintReadOnly", "CPF_AdvancedDisplay", "CPF_NativeAccessSpecifierPrivate"}));
	}

	TEST_F(FeaturesHeaderTest, ClassSpecifiersBecomeFlagsAndMetadata)
	{
		EXPECT_TRUE(contains(macroLines(generatedHeader, "FID_Features_FeatureTypes_h_59_GENERATED_BODY"), "using Super = UObject;")) << generatedHeader;
		for (const std::string& line : macroLines(generatedHeader, "FID_Features_FeatureTypes_h_59_GENERATED_BODY"))
		{
			EXPECT_EQ(line.find("StaticConfigName"), std::string::npos) << "only config= classes get a configuration name";
		}
		EXPECT_NE(source.find("TEXT(\"/Script/Features\"), nullptr, "), std::string::npos);
		EXPECT_EQ(descriptorFlags(source, "FeatureObject", 2), (std::set<std::string>{"CLASS_Abstract", "CLASS_Native"}));
		EXPECT_NE(source.find("{TEXT(\"IsBlueprintBase\"), TEXT(\"true\")}, {TEXT(\"BlueprintType\"), TEXT(\"true\")}, {TEXT(\"HideCategories\"), TEXT(\"Rendering Physics Input\")}, {TEXT(\"ClassGroupNames\"), TEXT(\"Features\")}, {TEXT(\"ShortTooltip\"), TEXT(\"Short\")}"), std::string::npos) << source;
		EXPECT_NE(source.find("{TEXT(\"IncludePath\"), TEXT(\"Sub/FeatureTypes.h\")}, {TEXT(\"ModuleRelativePath\"), TEXT(\"Public/Sub/FeatureTypes.h\")}"), std::string::npos);
	}

	TEST_F(FeaturesHeaderTest, AccessAfterBodyMacroIsPrivateInClasses)
	{
		EXPECT_EQ(descriptorFlags(source, "FeatureActor", 2), (std::set<std::string>{"CLASS_MinimalAPI", "CLASS_Native"}));
		EXPECT_NE(source.find("UFeatureObject::StaticClass(), sizeof(AFeatureActor)"), std::string::npos);
		EXPECT_EQ(propertyFlags(source, "AFeatureActor", "AfterBody"), (std::set<std::string>{"CPF_NativeAccessSpecifierPrivate"}));
		EXPECT_EQ(functionFlags(source, "Twice"), (std::set<std::string>{"FUNC_Native", "FUNC_Final", "FUNC_Public", "FUNC_Const", "FUNC_BlueprintCallable"}));
		EXPECT_EQ(source.find("Convert"), std::string::npos);
	}

	TEST_F(FeaturesHeaderTest, NativeEventGetsThunkAndDefinition)
	{
		EXPECT_EQ(functionFlags(source, "Describe"), (std::set<std::string>{"FUNC_Native", "FUNC_Event", "FUNC_BlueprintEvent", "FUNC_Public", "FUNC_Const", "FUNC_BlueprintCallable", "FUNC_HasOutParms"}));
		EXPECT_NE(source.find("struct FeatureObject_eventDescribe_Parms { TArray<int32> Values; int32 OutCount; UObject* Context; FString ReturnValue; };"), std::string::npos);
		EXPECT_NE(source.find("Parms.ReturnValue = static_cast<UFeatureObject*>(Context)->Describe_Implementation(Parms.Values, Parms.OutCount, Parms.Context);"), std::string::npos);
		EXPECT_NE(source.find("{TEXT(\"CPP_Default_Context\"), TEXT(\"nullptr\")}"), std::string::npos);
		const std::string body = definitionBody(source, "FString UFeatureObject::Describe(const TArray<int32>& Values, int32& OutCount, UObject* Context) const");
		ASSERT_FALSE(body.empty()) << source;
		EXPECT_NE(body.find("OutCount = "), std::string::npos);
		EXPECT_NE(body.find("return "), std::string::npos);
		EXPECT_NE(body.find("const_cast<UFeatureObject*>(this)"), std::string::npos);
	}

	TEST_F(FeaturesHeaderTest, EventParameterNamesDoNotShadowTheParameterBlock)
	{
		const std::string body = definitionBody(source, "void UFeatureObject::Shadowing(int32 Parms, const FString& Z, int32 InParms)");
		ASSERT_FALSE(body.empty()) << source;
		EXPECT_EQ(body.find(" Parms{}"), std::string::npos) << body;
		EXPECT_EQ(body.find("&Parms)"), std::string::npos) << body;
	}

	TEST_F(FeaturesHeaderTest, ParamAnnotationsAndVariants)
	{
		EXPECT_EQ(propertyFlags(source, "FeatureObject_eventDecide_Parms", "Data"), (std::set<std::string>{"CPF_Parm", "CPF_OutParm", "CPF_ReferenceParm"}));
		EXPECT_NE(source.find("(TEXT(\"In\"), TEXT(\"float\"), CPF_Parm, [](void* C) -> void* { return &static_cast<FeatureObject_eventDecide_Parms*>(C)->In; }, {{TEXT(\"DisplayName\"), TEXT(\"The Input\")}})"), std::string::npos);
		EXPECT_EQ(functionFlags(source, "GetBits"), (std::set<std::string>{"FUNC_Native", "FUNC_Final", "FUNC_Public", "FUNC_Const", "FUNC_BlueprintCallable"}));
		EXPECT_EQ(functionFlags(source, "Run"), (std::set<std::string>{"FUNC_Native", "FUNC_Public", "FUNC_Exec"}));
		EXPECT_EQ(functionFlags(source, "Settle"), (std::set<std::string>{"FUNC_Native", "FUNC_Final", "FUNC_Public", "FUNC_BlueprintCallable"}));
		EXPECT_NE(source.find("{{TEXT(\"CallInEditor\"), TEXT(\"true\")}}"), std::string::npos);
		EXPECT_NE(source.find("struct FeatureObject_eventFindThing_Parms { FName Name; const UObject* ReturnValue; };"), std::string::npos);
		EXPECT_EQ(functionFlags(source, "OnFilter"), (std::set<std::string>{"FUNC_Native", "FUNC_Final", "FUNC_Protected"}));
	}

	TEST_F(FeaturesHeaderTest, RetValDelegate)
	{
		EXPECT_NE(source.find("struct Parms { FString Name; int32 Count; bool ReturnValue; };"), std::string::npos);
		EXPECT_EQ(descriptorFlags(source, "FeatureFilter__DelegateSignature", 1), (std::set<std::string>{"FUNC_Public", "FUNC_Delegate", "FUNC_HasOutParms"}));
		EXPECT_EQ(propertyFlags(source, "Parms", "Name"), (std::set<std::string>{"CPF_Parm", "CPF_ConstParm", "CPF_ReferenceParm"}));
		EXPECT_EQ(propertyFlags(source, "Parms", "Count"), (std::set<std::string>{"CPF_Parm", "CPF_OutParm"}));
		EXPECT_EQ(propertyFlags(source, "Parms", "ReturnValue"), (std::set<std::string>{"CPF_Parm", "CPF_OutParm", "CPF_ReturnParm"}));
	}

	struct BadHeader
	{
		const char* file;
		int line;
		const char* message;
	};

	void PrintTo(const BadHeader& header, std::ostream* stream)
	{
		*stream << header.file;
	}

	class BadHeaderTest : public testing::TestWithParam<BadHeader>
	{
	};

	TEST_P(BadHeaderTest, FailsWithLocatedErrorAndWritesNothing)
	{
		const BadHeader& bad = GetParam();
		const fs::path outputDir = freshOutputDir();
		const fs::path header = FixturesDir / "Bad" / bad.file;
		const ToolRun run = runOn("Bad", outputDir, {FixturesDir / "Sample" / "Public" / "SampleThing.h", header});
		EXPECT_EQ(run.exitCode, 1) << run.output;
		const std::string expected = header.string() + ":" + std::to_string(bad.line) + ": error: ";
		const size_t at = run.output.find(expected);
		ASSERT_NE(at, std::string::npos) << "expected '" << expected << "' in:\n"
										 << run.output;
		EXPECT_NE(run.output.find(bad.message, at), std::string::npos) << run.output;
		EXPECT_FALSE(fs::exists(outputDir)) << "a failing run must not write the good header's output either";
	}

	INSTANTIATE_TEST_SUITE_P(HeaderTool, BadHeaderTest,
		testing::Values(
			BadHeader{"UnknownAnnotationArgument.h", 10, "unknown UPROPERTY specifier 'NotARealSpecifier'"},
			BadHeader{"MissingGeneratedBody.h", 5, "missing GENERATED_BODY() in 'UMissingGeneratedBody'"},
			BadHeader{"PropertyOutsideType.h", 6, "UPROPERTY outside a reflected type"},
			BadHeader{"FunctionOutsideType.h", 4, "UFUNCTION outside a reflected type"},
			BadHeader{"Bitfield.h", 10, "bitfield"},
			BadHeader{"CArray.h", 10, "C arrays are not supported"},
			BadHeader{"WrongGeneratedInclude.h", 3, "expected #include \"WrongGeneratedInclude.generated.h\""},
			BadHeader{"GeneratedIncludeNotLast.h", 3, "must be the last #include"},
			BadHeader{"MissingGeneratedInclude.h", 4, "needs #include \"MissingGeneratedInclude.generated.h\""},
			BadHeader{"UnterminatedProperty.h", 9, "unterminated UPROPERTY("},
			BadHeader{"Interface.h", 4, "UINTERFACE is not supported"},
			BadHeader{"DelegateInClass.h", 9, "inside a class body"},
			BadHeader{"NamespacedEnum.h", 5, "namespaced enums"},
			BadHeader{"DisplayNameOutsideMeta.h", 9, "'DisplayName' is only valid inside meta"},
			BadHeader{"AnnotatedNestedType.h", 11, "UPROPERTY is not allowed here"},
			BadHeader{"NoExportStruct.h", 4, "NoExport"},
			BadHeader{"EventWithBody.h", 9, "must not have a body"},
			BadHeader{"DelegateArity.h", 4, "expects 5 arguments, found 3"},
			BadHeader{"UnterminatedComment.h", 4, "unterminated comment"}),
		[](const testing::TestParamInfo<BadHeader>& info) {
			const std::string file = info.param.file;
			return file.substr(0, file.find('.'));
		});

	TEST(HeaderToolOutput, UnchangedOutputIsNotRewritten)
	{
		const fs::path outputDir = freshOutputDir();
		const fs::path header = FixturesDir / "Sample" / "Public" / "SampleThing.h";
		ASSERT_EQ(runOn("Sample", outputDir, {header}).exitCode, 0);

		const fs::path generatedHeader = outputDir / "SampleThing.generated.h";
		const fs::path source = outputDir / "SampleThing.gen.cpp";
		const std::string expectedSource = readText(source);
		const fs::file_time_type old = fs::last_write_time(generatedHeader) - std::chrono::hours(24);
		fs::last_write_time(generatedHeader, old);
		fs::last_write_time(source, old);
		{
			std::ofstream stale(source, std::ios::app);
			stale << "// stale\n";
		}

		ASSERT_EQ(runOn("Sample", outputDir, {header}).exitCode, 0);
		EXPECT_EQ(fs::last_write_time(generatedHeader), old);
		EXPECT_EQ(readText(source), expectedSource);
	}

	TEST(HeaderToolOutput, HeadersWithoutGeneratedIncludeAreSkipped)
	{
		const fs::path outputDir = freshOutputDir();
		const ToolRun run = runOn("Plain", outputDir, {FixturesDir / "Plain" / "PlainThing.h"});
		EXPECT_EQ(run.exitCode, 0) << run.output;
		EXPECT_FALSE(fs::exists(outputDir / "PlainThing.generated.h"));
		EXPECT_FALSE(fs::exists(outputDir / "PlainThing.gen.cpp"));
	}

	TEST(HeaderToolOutput, HeaderWithoutReflectedTypesStillGetsBothFiles)
	{
		const fs::path outputDir = freshOutputDir();
		const ToolRun run = runOn("Empty", outputDir, {FixturesDir / "Empty" / "Public" / "EmptyThing.h"});
		ASSERT_EQ(run.exitCode, 0) << run.output;
		EXPECT_NE(readText(outputDir / "EmptyThing.generated.h").find("#define CURRENT_FILE_ID FID_Empty_EmptyThing_h"), std::string::npos);
		EXPECT_NE(readText(outputDir / "EmptyThing.gen.cpp").find("EmptyThing.h\""), std::string::npos);
	}

	TEST(HeaderToolOutput, SameStemTwiceInOneModuleIsAnError)
	{
		const fs::path outputDir = freshOutputDir();
		const ToolRun run = runOn("Sample", outputDir, {FixturesDir / "Sample" / "Public" / "SampleThing.h", FixturesDir / "DuplicateStem" / "SampleThing.h"});
		EXPECT_EQ(run.exitCode, 1);
		EXPECT_NE(run.output.find("DuplicateStem/SampleThing.h:1: error: "), std::string::npos) << run.output;
		EXPECT_FALSE(fs::exists(outputDir));
	}

	TEST(HeaderToolCommandLine, RejectsMissingOrUnknownOptions)
	{
		const fs::path header = FixturesDir / "Sample" / "Public" / "SampleThing.h";
		EXPECT_EQ(runTool("--output /tmp " + quote(header.string())).exitCode, 1);
		EXPECT_EQ(runTool("--module Sample " + quote(header.string())).exitCode, 1);
		EXPECT_EQ(runTool("--module Sample --output /tmp --bogus " + quote(header.string())).exitCode, 1);
		const ToolRun missing = runTool("--module Sample --output " + quote(freshOutputDir().string()) + " /nonexistent/Missing.h");
		EXPECT_EQ(missing.exitCode, 1);
		EXPECT_NE(missing.output.find("/nonexistent/Missing.h:1: error: "), std::string::npos) << missing.output;
	}
}

// Render target storage (formats, fast clears) and PNG files: what compose writes must read
// back exactly, and no file, however broken, may crash a reader.

#include "Engine/TextureRenderTarget2D.h"
#include "ImageUtils.h"
#include "Kismet/KismetRenderingLibrary.h"
#include "TestFolder.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace
{
	class RenderTargetTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			InitUObject();
			Target = NewObject<UTextureRenderTarget2D>();
			Target->RenderTargetFormat = ETextureRenderTargetFormat::RTF_RGBA8;
			Target->ClearColor = FLinearColor(0.f, 0.f, 0.f, 1.f);
			Target->SizeX = 8;
			Target->SizeY = 4;
			Target->PostLoad();
		}
		void TearDown() override { ShutdownUObject(); }

		UTextureRenderTarget2D* Target = nullptr;
	};

	class PngFiles : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Folder = MakeTestFolder("quarn-png-test");
		}
		void TearDown() override { std::filesystem::remove_all(Folder); }

		FString PathOf(const std::string& Name) const { return FString((Folder / Name).string()); }

		/**
		 * Writes a 16x16 picture with a text chunk of TextBytes bytes after its header, streamed
		 * so that the test itself never holds the text.
		 */
		void WritePictureWithText(const std::string& Name, uint32 TextBytes)
		{
			ASSERT_TRUE(FImageUtils::SaveImageByExtension(*PathOf("plain.png"), FImage(16, 16, FColor(10, 20, 30, 255))));
			std::ifstream Plain(Folder / "plain.png", std::ios::binary);
			const std::string Bytes((std::istreambuf_iterator<char>(Plain)), std::istreambuf_iterator<char>());
			const std::size_t AfterHeader = 8 + 12 + 13;
			std::ofstream Out(Folder / Name, std::ios::binary);
			Out << Bytes.substr(0, AfterHeader) << BigEndian(TextBytes);
			uint32 Crc = 0xFFFFFFFFu;
			const std::string Start = std::string("tEXtComment\0", 12);
			Crc = UpdateCrc(Crc, Start);
			Out << Start;
			const std::string Block(64 * 1024, 'a');
			for (uint32 Left = TextBytes - 8; Left > 0;)
			{
				const std::string Part = Block.substr(0, std::min<std::size_t>(Left, Block.size()));
				Crc = UpdateCrc(Crc, Part);
				Out << Part;
				Left -= static_cast<uint32>(Part.size());
			}
			Out << BigEndian(~Crc) << Bytes.substr(AfterHeader);
		}

		static std::string BigEndian(uint32 Value)
		{
			return {static_cast<char>(Value >> 24), static_cast<char>(Value >> 16), static_cast<char>(Value >> 8), static_cast<char>(Value)};
		}

		static uint32 UpdateCrc(uint32 Crc, const std::string& Bytes)
		{
			static const std::array<uint32, 256> Table = [] {
				std::array<uint32, 256> Result{};
				for (uint32 Index = 0; Index < 256; ++Index)
				{
					uint32 Value = Index;
					for (int32 Bit = 0; Bit < 8; ++Bit)
					{
						Value = (Value >> 1) ^ (0xEDB88320u & (0u - (Value & 1u)));
					}
					Result[Index] = Value;
				}
				return Result;
			}();
			for (const char Byte : Bytes)
			{
				Crc = Table[(Crc ^ static_cast<uint8>(Byte)) & 0xFFu] ^ (Crc >> 8);
			}
			return Crc;
		}

		/** The most memory this process has held so far, in KiB. */
		static long PeakKilobytes()
		{
			rusage Usage{};
			getrusage(RUSAGE_SELF, &Usage);
			return Usage.ru_maxrss;
		}

		std::filesystem::path Folder;
	};
} // namespace

TEST_F(RenderTargetTest, AClearedTargetReadsBackItsClearColourEverywhere)
{
	Target->FillRect(3, 2, 4, 3, FLinearColor::Red);
	UKismetRenderingLibrary::ClearRenderTarget2D(nullptr, Target, FLinearColor(0.f, 0.f, 1.f, 1.f));
	for (const FLinearColor& Pixel : Target->GetPixels())
	{
		ASSERT_EQ(Pixel, FLinearColor(0.f, 0.f, 1.f, 1.f));
	}
	EXPECT_EQ(Target->GetRow(2)[3], FLinearColor(0.f, 0.f, 1.f, 1.f));
}

TEST_F(RenderTargetTest, WritingIntoAClearedRowKeepsTheRestOfTheRow)
{
	Target->Fill(FLinearColor::Green);
	Target->GetMutableRow(1)[5] = FLinearColor::Red;
	Target->FillRect(0, 2, 3, 3, FLinearColor::Blue);
	EXPECT_EQ(Target->GetRow(1)[5], FLinearColor::Red);
	EXPECT_EQ(Target->GetRow(1)[4], FLinearColor::Green);
	EXPECT_EQ(Target->GetRow(2)[2], FLinearColor::Blue);
	EXPECT_EQ(Target->GetRow(2)[3], FLinearColor::Green) << "a partial fill stops at its edge";
	EXPECT_EQ(Target->GetRow(0)[7], FLinearColor::Green);
}

TEST_F(RenderTargetTest, EightBitTargetsRoundWhatTheyStoreAndIgnoreWritesOutside)
{
	Target->FillRect(0, 0, 1, 1, FLinearColor(0.5f, 1.5f, -1.f, 0.25f));
	EXPECT_EQ(Target->GetRow(0)[0], FLinearColor(128.f / 255.f, 1.f, 0.f, 64.f / 255.f));
	Target->FillRect(8, 0, 9, 1, FLinearColor::Red);
	Target->FillRect(-1, 2, 0, 3, FLinearColor::Red);
	Target->FillRect(-5, -5, 100, 0, FLinearColor::Red);
	EXPECT_EQ(UKismetRenderingLibrary::ReadRenderTargetPixel(nullptr, Target, 8, 0), FColor(0, 0, 0, 0));
	EXPECT_EQ(UKismetRenderingLibrary::ReadRenderTargetPixel(nullptr, Target, -1, 1), FColor(0, 0, 0, 0));
	EXPECT_EQ(Target->GetRow(0)[7], FLinearColor(0.f, 0.f, 0.f, 1.f));

	Target->RenderTargetFormat = ETextureRenderTargetFormat::RTF_RGBA16f;
	Target->FillRect(1, 0, 2, 1, FLinearColor(0.5f, 1.5f, -1.f, 0.25f));
	EXPECT_EQ(Target->GetRow(0)[1], FLinearColor(0.5f, 1.5f, -1.f, 0.25f)) << "float targets keep values outside [0, 1]";
}

TEST(ColorConversion, EightBitSrgbRoundTripsExactlyAndHexParses)
{
	for (int32 Value = 0; Value < 256; ++Value)
	{
		const FColor Color(static_cast<uint8>(Value), static_cast<uint8>(255 - Value), static_cast<uint8>(Value / 2), 200);
		ASSERT_EQ(FLinearColor(Color).ToFColor(true), Color) << Value;
	}
	EXPECT_NEAR(FLinearColor(FColor(128, 128, 128)).R, 0.2158605f, 1e-6f);
	// The table-driven 8-bit encoder agrees with the transfer function everywhere in [0, 1].
	int32 Disagreements = 0;
	for (int32 Step = 0; Step <= 1 << 20; ++Step)
	{
		const float Linear = static_cast<float>(Step) / static_cast<float>(1 << 20);
		const float Code = FLinearColor::LinearToSRGB(Linear) * 255.f;
		const int32 Expected = static_cast<int32>(Code + 0.5f);
		const int32 Actual = FLinearColor::LinearToSRGB8(Linear);
		// Only a value within float rounding of the boundary between two codes may land on either side.
		const bool bOnBoundary = std::abs(Code - std::floor(Code) - 0.5f) < 1e-3f;
		if (Actual != Expected && !(bOnBoundary && std::abs(Actual - Expected) == 1))
		{
			++Disagreements;
		}
	}
	EXPECT_EQ(Disagreements, 0);
	EXPECT_EQ(FLinearColor::LinearToSRGB8(-0.5f), 0);
	EXPECT_EQ(FLinearColor::LinearToSRGB8(7.f), 255);
	EXPECT_EQ(FLinearColor(0.5f, 0.5f, 0.5f, 1.f).ToFColor(true), FColor(188, 188, 188, 255));
	EXPECT_EQ(FColor::FromHex(TEXT("#F5A623")), FColor(245, 166, 35, 255));
	EXPECT_EQ(FColor::FromHex(TEXT("0b1f3ae6")), FColor(11, 31, 58, 230));
	EXPECT_EQ(FColor::FromHex(TEXT("#f0c")), FColor(255, 0, 204, 255));
	EXPECT_EQ(FColor::FromHex(TEXT("#12345")), FColor(255, 255, 255, 255)) << "malformed is opaque white";
}

TEST_F(PngFiles, APictureReadsBackPixelForPixel)
{
	FImage Picture(5, 3);
	for (int32 Index = 0; Index < Picture.RawData.Num(); ++Index)
	{
		Picture.RawData[Index] = FColor(static_cast<uint8>(Index * 17), static_cast<uint8>(255 - Index), 7, static_cast<uint8>(Index * 10));
	}
	ASSERT_TRUE(FImageUtils::SaveImageByExtension(*PathOf("deep/er/picture.png"), Picture)) << "folders are made";
	FImage Read;
	ASSERT_TRUE(FImageUtils::LoadImage(*PathOf("deep/er/picture.png"), Read));
	EXPECT_EQ(Read.SizeX, 5);
	EXPECT_EQ(Read.SizeY, 3);
	EXPECT_TRUE(Read.RawData == Picture.RawData);
	EXPECT_FALSE(std::filesystem::exists(Folder / "deep" / "er" / "picture.png.tmp"));
}

TEST_F(PngFiles, ARenderTargetExportsAsItStoresIt)
{
	InitUObject();
	UTextureRenderTarget2D* Target = NewObject<UTextureRenderTarget2D>();
	Target->RenderTargetFormat = ETextureRenderTargetFormat::RTF_RGBA8;
	Target->ClearColor = FLinearColor(0.f, 0.f, 0.f, 0.f);
	Target->SizeX = 4;
	Target->SizeY = 2;
	Target->PostLoad();
	Target->FillRect(1, 1, 2, 2, FLinearColor(1.f, 0.5f, 0.f, 1.f));
	UKismetRenderingLibrary::ExportRenderTarget(nullptr, Target, FString(Folder.string()), TEXT("target.png"));
	ShutdownUObject();

	FImage Read;
	ASSERT_TRUE(FImageUtils::LoadImage(*PathOf("target.png"), Read));
	EXPECT_EQ(Read.Pixel(1, 1), FColor(255, 128, 0, 255));
	EXPECT_EQ(Read.Pixel(0, 0), FColor(0, 0, 0, 0));
}

TEST_F(PngFiles, BrokenFilesAreRefusedWithoutHarm)
{
	FImage Picture(16, 16, FColor(10, 20, 30, 255));
	ASSERT_TRUE(FImageUtils::SaveImageByExtension(*PathOf("good.png"), Picture));
	std::ifstream Good(Folder / "good.png", std::ios::binary);
	const std::string Bytes((std::istreambuf_iterator<char>(Good)), std::istreambuf_iterator<char>());

	const std::pair<std::string, std::string> Cases[] = {
		{"empty.png", ""},
		{"text.png", "not a picture at all"},
		{"truncated.png", Bytes.substr(0, Bytes.size() / 2)},
		{"signature-only.png", Bytes.substr(0, 8)},
		{"corrupt.png", Bytes.substr(0, 40) + std::string(Bytes.size() - 40, '\x5a')},
	};
	for (const auto& [Name, Content] : Cases)
	{
		std::ofstream(Folder / Name, std::ios::binary) << Content;
		FImage Read(2, 2, FColor(1, 2, 3, 4));
		EXPECT_FALSE(FImageUtils::LoadImage(*PathOf(Name), Read)) << Name;
		EXPECT_EQ(Read.SizeX, 2) << Name << ": the output is untouched";
	}
	FImage Read;
	EXPECT_FALSE(FImageUtils::LoadImage(*PathOf("missing.png"), Read));
	EXPECT_FALSE(FImageUtils::SaveImageByExtension(*PathOf("empty-out.png"), FImage()));
	EXPECT_FALSE(FImageUtils::SaveImageByExtension(*FString((Folder / "good.png" / "inside.png").string()), Picture)) << "a file is no folder";
}

// PngReaderFuzz found a 1 KB file whose text chunk claimed 1.9 GB, which libpng allocated
// before reading on. Chunks the picture needs nothing from are skipped, whatever their length.
TEST_F(PngFiles, TextChunksAreSkippedWithoutBeingHeldInMemory)
{
	const uint32 TextBytes = 48 * 1024 * 1024;
	WritePictureWithText("long-text.png", TextBytes);
	const long PeakBefore = PeakKilobytes();
	FImage Read;
	EXPECT_TRUE(FImageUtils::LoadImage(*PathOf("long-text.png"), Read)) << "the picture itself is fine";
	EXPECT_EQ(Read.SizeX, 16);
	EXPECT_LT(PeakKilobytes() - PeakBefore, 16 * 1024) << "the 48 MiB of text were held in memory";
}

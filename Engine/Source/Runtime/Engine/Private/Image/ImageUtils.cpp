#include "ImageUtils.h"

#include "Engine/TextureRenderTarget2D.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

DEFINE_LOG_CATEGORY_STATIC(LogImageUtils, Log, All)

namespace
{
	struct FFileCloser
	{
		void operator()(FILE* File) const { std::fclose(File); }
	};
	using FFilePtr = std::unique_ptr<FILE, FFileCloser>;

	/** Where libpng's messages go instead of stderr; the caller logs the error once. */
	struct FPngMessages
	{
		char Error[256] = {};
	};

	void OnPngError(png_structp Png, png_const_charp Message)
	{
		if (FPngMessages* Messages = static_cast<FPngMessages*>(png_get_error_ptr(Png)))
		{
			std::snprintf(Messages->Error, sizeof(Messages->Error), "%s", Message);
		}
		png_longjmp(Png, 1);
	}

	// Chunks of any length that a picture read as RGBA needs nothing from (texts, colour
	// profiles, palettes suggested, metadata). A length is only a claim: a 1 KB file may say its
	// text is 2 GB long, and libpng would allocate that before reading on. Skipped unread instead.
	constexpr png_byte IgnoredChunks[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0pCAL\0sCAL";
	constexpr int IgnoredChunkCount = 8;

	// Warnings (unknown chunks, odd colour profiles) do not stop reading a usable picture.
	void OnPngWarning(png_structp, png_const_charp) {}

	// libpng reports errors by longjmp, which skips destructors: every C++ object that owns
	// memory lives in the caller, and only plain values change after setjmp.
	bool ReadPng(FILE* File, std::vector<png_byte>& Rows, std::vector<png_bytep>& RowPointers, png_uint_32& OutWidth, png_uint_32& OutHeight, FPngMessages& Messages)
	{
		png_structp Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &Messages, OnPngError, OnPngWarning);
		if (!Png)
		{
			return false;
		}
		png_infop Info = png_create_info_struct(Png);
		if (!Info)
		{
			png_destroy_read_struct(&Png, nullptr, nullptr);
			return false;
		}
		if (setjmp(png_jmpbuf(Png)))
		{
			png_destroy_read_struct(&Png, &Info, nullptr);
			return false;
		}
		png_init_io(Png, File);
		png_set_keep_unknown_chunks(Png, PNG_HANDLE_CHUNK_NEVER, IgnoredChunks, IgnoredChunkCount);
		png_read_info(Png, Info);
		const png_uint_32 Width = png_get_image_width(Png, Info);
		const png_uint_32 Height = png_get_image_height(Png, Info);
		// Refuse sizes no studio picture has, before allocating for them.
		if (Width == 0 || Height == 0 || Width > 16384 || Height > 16384)
		{
			std::snprintf(Messages.Error, sizeof(Messages.Error), "%ux%u pixels is beyond 16384x16384", Width, Height);
			png_destroy_read_struct(&Png, &Info, nullptr);
			return false;
		}
		png_set_expand(Png);
		png_set_strip_16(Png);
		png_set_gray_to_rgb(Png);
		png_set_add_alpha(Png, 0xFF, PNG_FILLER_AFTER);
		png_set_interlace_handling(Png);
		png_read_update_info(Png, Info);

		Rows.resize(static_cast<size_t>(Width) * Height * 4);
		RowPointers.resize(Height);
		for (png_uint_32 Row = 0; Row < Height; ++Row)
		{
			RowPointers[Row] = Rows.data() + static_cast<size_t>(Row) * Width * 4;
		}
		png_read_image(Png, RowPointers.data());
		png_read_end(Png, nullptr);
		png_destroy_read_struct(&Png, &Info, nullptr);
		OutWidth = Width;
		OutHeight = Height;
		return true;
	}

	bool WritePng(FILE* File, const FImage& Image, FPngMessages& Messages)
	{
		png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &Messages, OnPngError, OnPngWarning);
		if (!Png)
		{
			return false;
		}
		png_infop Info = png_create_info_struct(Png);
		if (!Info)
		{
			png_destroy_write_struct(&Png, nullptr);
			return false;
		}
		std::vector<png_byte> Row(static_cast<size_t>(Image.SizeX) * 4);
		if (setjmp(png_jmpbuf(Png)))
		{
			png_destroy_write_struct(&Png, &Info);
			return false;
		}
		png_init_io(Png, File);
		png_set_IHDR(Png, Info, static_cast<png_uint_32>(Image.SizeX), static_cast<png_uint_32>(Image.SizeY), 8, PNG_COLOR_TYPE_RGBA,
			PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
		// Pictures are written often and looked at once: favour speed over size.
		png_set_compression_level(Png, 3);
		png_write_info(Png, Info);
		for (int32 Y = 0; Y < Image.SizeY; ++Y)
		{
			for (int32 X = 0; X < Image.SizeX; ++X)
			{
				const FColor& Pixel = Image.Pixel(X, Y);
				png_byte* Out = Row.data() + static_cast<size_t>(X) * 4;
				Out[0] = Pixel.R;
				Out[1] = Pixel.G;
				Out[2] = Pixel.B;
				Out[3] = Pixel.A;
			}
			png_write_row(Png, Row.data());
		}
		png_write_end(Png, nullptr);
		png_destroy_write_struct(&Png, &Info);
		return true;
	}
} // namespace

bool FImageUtils::LoadImage(const TCHAR* Filename, FImage& OutImage)
{
	FFilePtr File(std::fopen(FString(Filename).ToStdString().c_str(), "rb"));
	if (!File)
	{
		UE_LOG(LogImageUtils, Warning, TEXT("Cannot open image file %s"), Filename);
		return false;
	}
	png_byte Signature[8] = {};
	if (std::fread(Signature, 1, sizeof(Signature), File.get()) != sizeof(Signature) || png_sig_cmp(Signature, 0, sizeof(Signature)) != 0)
	{
		UE_LOG(LogImageUtils, Warning, TEXT("%s is not a PNG file"), Filename);
		return false;
	}
	std::rewind(File.get());
	std::vector<png_byte> Rows;
	std::vector<png_bytep> RowPointers;
	png_uint_32 Width = 0;
	png_uint_32 Height = 0;
	FPngMessages Messages;
	if (!ReadPng(File.get(), Rows, RowPointers, Width, Height, Messages))
	{
		UE_LOG(LogImageUtils, Warning, TEXT("Cannot read the PNG file %s: %s"), Filename, Messages.Error[0] ? Messages.Error : "unreadable");
		return false;
	}
	FImage Image(static_cast<int32>(Width), static_cast<int32>(Height));
	for (int32 Index = 0; Index < Image.RawData.Num(); ++Index)
	{
		const png_byte* Pixel = Rows.data() + static_cast<size_t>(Index) * 4;
		Image.RawData[Index] = FColor(Pixel[0], Pixel[1], Pixel[2], Pixel[3]);
	}
	OutImage = MoveTemp(Image);
	return true;
}

bool FImageUtils::SaveImageByExtension(const TCHAR* Filename, const FImage& Image)
{
	if (Image.IsEmpty() || Image.RawData.Num() != Image.SizeX * Image.SizeY)
	{
		UE_LOG(LogImageUtils, Warning, TEXT("Cannot write an empty image to %s"), Filename);
		return false;
	}
	const std::filesystem::path Path(FString(Filename).ToStdString());
	std::error_code Error;
	if (Path.has_parent_path())
	{
		std::filesystem::create_directories(Path.parent_path(), Error);
	}
	// Written beside the target and renamed, so a reader never sees half a picture.
	const std::filesystem::path Temporary = Path.string() + ".tmp";
	bool bWritten = false;
	{
		FFilePtr File(std::fopen(Temporary.c_str(), "wb"));
		FPngMessages Messages;
		bWritten = File && WritePng(File.get(), Image, Messages) && std::fflush(File.get()) == 0;
	}
	if (bWritten)
	{
		std::filesystem::rename(Temporary, Path, Error);
		bWritten = !Error;
	}
	if (!bWritten)
	{
		std::filesystem::remove(Temporary, Error);
		UE_LOG(LogImageUtils, Warning, TEXT("Cannot write the PNG file %s"), Filename);
	}
	return bWritten;
}

bool FImageUtils::GetRenderTargetImage(const UTextureRenderTarget2D* TexRT, FImage& OutImage)
{
	if (!TexRT || TexRT->SizeX <= 0 || TexRT->SizeY <= 0 || TexRT->GetPixels().Num() != TexRT->SizeX * TexRT->SizeY)
	{
		return false;
	}
	FImage Image(TexRT->SizeX, TexRT->SizeY);
	const TArray<FLinearColor>& Pixels = TexRT->GetPixels();
	for (int32 Index = 0; Index < Pixels.Num(); ++Index)
	{
		Image.RawData[Index] = Pixels[Index].ToFColor(false);
	}
	OutImage = MoveTemp(Image);
	return true;
}

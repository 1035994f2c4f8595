#pragma once

#include "CoreMinimal.h"
#include "ImageCore.h"

class UTextureRenderTarget2D;

/** Reading and writing pictures as PNG files. */
class ENGINE_API FImageUtils
{
public:
	/** Reads a PNG file into OutImage (converted to RGBA); false when it cannot be read or is not a PNG. */
	static bool LoadImage(const TCHAR* Filename, FImage& OutImage);
	/** Writes Image as a PNG file (folders are created); false when it cannot be written. */
	static bool SaveImageByExtension(const TCHAR* Filename, const FImage& Image);
	/** Copies the render target's pixels, each channel rounded to 8 bits; false for a null or empty target. */
	static bool GetRenderTargetImage(const UTextureRenderTarget2D* TexRT, FImage& OutImage);
};

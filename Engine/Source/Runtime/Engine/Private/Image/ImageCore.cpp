#include "ImageCore.h"

FImage::FImage(int32 InSizeX, int32 InSizeY, const FColor& Fill)
	: SizeX(InSizeX > 0 ? InSizeX : 0)
	, SizeY(InSizeY > 0 ? InSizeY : 0)
{
	RawData.Init(Fill, SizeX * SizeY);
}

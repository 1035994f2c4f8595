#include "LiveLinkTypes.h"

#include <new>
#include <utility>

FLiveLinkFrameDataStruct::FLiveLinkFrameDataStruct(UScriptStruct* InScriptStruct)
{
	InitializeWith(InScriptStruct, nullptr);
}

FLiveLinkFrameDataStruct::FLiveLinkFrameDataStruct(const FLiveLinkFrameDataStruct& Other)
{
	InitializeWith(Other.ScriptStruct, Other.StructMemory);
}

FLiveLinkFrameDataStruct::FLiveLinkFrameDataStruct(FLiveLinkFrameDataStruct&& Other) noexcept
	: ScriptStruct(std::exchange(Other.ScriptStruct, nullptr))
	, StructMemory(std::exchange(Other.StructMemory, nullptr))
{
}

FLiveLinkFrameDataStruct& FLiveLinkFrameDataStruct::operator=(const FLiveLinkFrameDataStruct& Other)
{
	if (this != &Other)
	{
		InitializeWith(Other.ScriptStruct, Other.StructMemory);
	}
	return *this;
}

FLiveLinkFrameDataStruct& FLiveLinkFrameDataStruct::operator=(FLiveLinkFrameDataStruct&& Other) noexcept
{
	if (this != &Other)
	{
		Reset();
		ScriptStruct = std::exchange(Other.ScriptStruct, nullptr);
		StructMemory = std::exchange(Other.StructMemory, nullptr);
	}
	return *this;
}

FLiveLinkFrameDataStruct::~FLiveLinkFrameDataStruct()
{
	Reset();
}

void FLiveLinkFrameDataStruct::InitializeWith(UScriptStruct* InScriptStruct, const void* Data)
{
	Reset();
	if (!InScriptStruct || !InScriptStruct->Ops.Construct || InScriptStruct->Ops.Size <= 0)
	{
		return;
	}
	StructMemory = ::operator new(static_cast<SIZE_T>(InScriptStruct->Ops.Size));
	InScriptStruct->Ops.Construct(StructMemory);
	if (Data)
	{
		InScriptStruct->Ops.Copy(StructMemory, Data);
	}
	ScriptStruct = InScriptStruct;
}

void FLiveLinkFrameDataStruct::Reset()
{
	if (StructMemory)
	{
		ScriptStruct->Ops.Destruct(StructMemory);
		::operator delete(StructMemory);
	}
	StructMemory = nullptr;
	ScriptStruct = nullptr;
}

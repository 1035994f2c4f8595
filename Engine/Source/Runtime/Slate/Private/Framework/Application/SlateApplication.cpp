#include "Framework/Application/SlateApplication.h"

#include "Templates/UniquePtr.h"

namespace
{
	TUniquePtr<FSlateApplication>& CurrentApplication()
	{
		static TUniquePtr<FSlateApplication> Application;
		return Application;
	}
} // namespace

bool FSlateApplication::IsInitialized()
{
	return CurrentApplication() != nullptr;
}

FSlateApplication& FSlateApplication::Get()
{
	check(IsInitialized());
	return *CurrentApplication();
}

void FSlateApplication::Create()
{
	if (!IsInitialized())
	{
		CurrentApplication() = MakeUnique<FSlateApplication>();
	}
}

void FSlateApplication::Shutdown()
{
	CurrentApplication().reset();
}

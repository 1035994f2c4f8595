#pragma once

#include "Logging/LogVerbosity.h"
#include "UObject/NameTypes.h"

/** A log category: a name with a run-time verbosity and a compile-time ceiling. */
class CORE_API FLogCategoryBase
{
public:
	FLogCategoryBase(const TCHAR* CategoryName, ELogVerbosity::Type InDefaultVerbosity, ELogVerbosity::Type InCompileTimeVerbosity);

	const FName& GetCategoryName() const { return CategoryName; }
	void SetVerbosity(ELogVerbosity::Type NewVerbosity);
	/** Lines more verbose than the category's current verbosity are dropped. */
	bool IsSuppressed(ELogVerbosity::Type LineVerbosity) const
	{
		return (LineVerbosity & ELogVerbosity::VerbosityMask) > Verbosity;
	}

private:
	FName CategoryName;
	ELogVerbosity::Type Verbosity;
	ELogVerbosity::Type CompileTimeVerbosity;
};

template <ELogVerbosity::Type InDefaultVerbosity, ELogVerbosity::Type InCompileTimeVerbosity>
class FLogCategory : public FLogCategoryBase
{
public:
	static constexpr ELogVerbosity::Type CompileTimeVerbosity = InCompileTimeVerbosity;

	explicit FLogCategory(const TCHAR* InCategoryName)
		: FLogCategoryBase(InCategoryName, InDefaultVerbosity, InCompileTimeVerbosity)
	{
	}
};

struct CORE_API FMsg
{
	/** Formats and sends one line to the global log; Fatal lines end the process. */
	static void Logf(const char* File, int32 Line, const FName& Category, ELogVerbosity::Type Verbosity, const TCHAR* Format, ...)
		__attribute__((format(printf, 5, 6)));
};

// A category's own type, named after it, and its one object; the macros below say where the object lives.
#define LOG_CATEGORY_TYPE_AND_OBJECT(CategoryName, DefaultVerbosity, CompileTimeVerbosity) \
	struct FLogCategory##CategoryName : public FLogCategory<ELogVerbosity::DefaultVerbosity, ELogVerbosity::CompileTimeVerbosity> \
	{ \
		FLogCategory##CategoryName() \
			: FLogCategory(TEXT(#CategoryName)) \
		{ \
		} \
	} CategoryName;

#define DECLARE_LOG_CATEGORY_EXTERN(CategoryName, DefaultVerbosity, CompileTimeVerbosity) \
	extern LOG_CATEGORY_TYPE_AND_OBJECT(CategoryName, DefaultVerbosity, CompileTimeVerbosity)

#define DEFINE_LOG_CATEGORY(CategoryName) FLogCategory##CategoryName CategoryName;

#define DEFINE_LOG_CATEGORY_STATIC(CategoryName, DefaultVerbosity, CompileTimeVerbosity) \
	static LOG_CATEGORY_TYPE_AND_OBJECT(CategoryName, DefaultVerbosity, CompileTimeVerbosity)

#define UE_LOG(CategoryName, Verbosity, Format, ...) \
	do \
	{ \
		if constexpr ((ELogVerbosity::Verbosity & ELogVerbosity::VerbosityMask) <= decltype(CategoryName)::CompileTimeVerbosity) \
		{ \
			if (!CategoryName.IsSuppressed(ELogVerbosity::Verbosity)) \
			{ \
				FMsg::Logf(__FILE__, __LINE__, CategoryName.GetCategoryName(), ELogVerbosity::Verbosity, Format, ##__VA_ARGS__); \
			} \
		} \
	} while (false)

DECLARE_LOG_CATEGORY_EXTERN(LogTemp, Log, All)
DECLARE_LOG_CATEGORY_EXTERN(LogInit, Log, All)

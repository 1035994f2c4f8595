#pragma once

#include "Containers/UnrealString.h"
#include "UObject/NameTypes.h"

/** Text for people. Localised texts keep their namespace and key beside the source text. */
class CORE_API FText
{
public:
	FText() = default;

	static FText FromString(const FString& String) { return FText(String, FString(), FString()); }
	static FText AsLocalizable(const FString& Namespace, const FString& Key, const FString& Source)
	{
		return FText(Source, Namespace, Key);
	}

	const FString& ToString() const { return Source; }
	bool IsEmpty() const { return Source.IsEmpty(); }
	const FString& GetNamespace() const { return Namespace; }
	const FString& GetKey() const { return Key; }

private:
	FText(FString InSource, FString InNamespace, FString InKey)
		: Source(std::move(InSource))
		, Namespace(std::move(InNamespace))
		, Key(std::move(InKey))
	{
	}

	FString Source;
	FString Namespace;
	FString Key;
};

#define LOCTEXT(InKey, InTextLiteral) FText::AsLocalizable(TEXT(LOCTEXT_NAMESPACE), TEXT(InKey), TEXT(InTextLiteral))

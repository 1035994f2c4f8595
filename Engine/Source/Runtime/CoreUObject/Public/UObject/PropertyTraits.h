#pragma once

// How a C++ type becomes a property: its kind, and how its values read and write as text.
// The header tool leaves all type decisions to these traits.

#include "Templates/SubclassOf.h"
#include "UObject/Class.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <type_traits>

namespace UE::Reflection
{
	COREUOBJECT_API bool ParseBool(const TCHAR* Text, bool& Out);
	COREUOBJECT_API bool ParseInteger(const TCHAR* Text, int64 Min, uint64 Max, int64& OutSigned, uint64& OutUnsigned, bool bUnsigned);
	COREUOBJECT_API bool ParseDouble(const TCHAR* Text, double& Out);
	/** Writes a string as the engine's text form does: quoted only when it has to be. */
	COREUOBJECT_API void ExportQuotedIfNeeded(const FString& Value, FString& Out, bool bInsideStruct);
	COREUOBJECT_API void ExportStruct(const UScriptStruct* Struct, const void* Value, FString& Out);
	COREUOBJECT_API bool ImportStruct(const UScriptStruct* Struct, const TCHAR* Text, void* Value);
	COREUOBJECT_API void ExportObjectPath(const UObject* Object, FString& Out);
	/**
	 * "None" or empty gives null; a path starting with '/' is loaded as a Class, null when it does not load.
	 * False for any other text.
	 */
	COREUOBJECT_API bool ImportObjectPath(const TCHAR* Text, UClass* Class, UObject*& OutObject);
	/** Strips one pair of surrounding quotes and the escapes inside them. */
	COREUOBJECT_API FString UnquoteText(const TCHAR* Text);

	template <typename T>
	struct TSpecialTraits;

	template <typename T>
	bool IdenticalValues(const void* A, const void* B)
	{
		if constexpr (requires(const T& X, const T& Y) { X == Y; })
		{
			return *static_cast<const T*>(A) == *static_cast<const T*>(B);
		}
		else
		{
			return false;
		}
	}

	template <typename T>
	concept CDynamicMulticastDelegate = requires
	{
		T::GetSignature();
		requires std::is_void_v<typename T::FIsDynamicMulticast>;
	};
	template <typename T>
	concept CReflectedStruct = requires
	{
		{
			T::StaticStruct()
			} -> std::convertible_to<UScriptStruct*>;
	};

	template <typename T>
	struct TPropertyTraits
	{
		static void Describe(FProperty& Property)
		{
			Property.ElementSize = sizeof(T);
			Property.Ops.Identical = &IdenticalValues<T>;
			if constexpr (std::is_same_v<T, bool>)
			{
				Property.Kind = EPropertyKind::Bool;
				Property.Ops.ExportText = [](const FProperty&, const void* Value, FString& Out) {
					Out += *static_cast<const bool*>(Value) ? TEXT("True") : TEXT("False");
				};
				Property.Ops.ImportText = [](const FProperty&, const TCHAR* Text, void* Value) {
					return ParseBool(Text, *static_cast<bool*>(Value));
				};
			}
			else if constexpr (std::is_enum_v<T>)
			{
				Property.Kind = EPropertyKind::Enum;
				Property.EnumGetter = &StaticEnum<T>;
				Property.Ops.ExportText = [](const FProperty& Prop, const void* Value, FString& Out) {
					Out += Prop.GetEnum()->GetNameStringByValue(static_cast<int64>(*static_cast<const T*>(Value)));
				};
				Property.Ops.ImportText = [](const FProperty& Prop, const TCHAR* Text, void* Value) {
					const FString Name = FString(Text).TrimStartAndEnd();
					const int32 Index = Prop.GetEnum()->GetIndexByNameString(Name);
					if (Index == INDEX_NONE)
					{
						return false;
					}
					*static_cast<T*>(Value) = static_cast<T>(Prop.GetEnum()->GetValueByIndex(Index));
					return true;
				};
			}
			else if constexpr (std::is_integral_v<T>)
			{
				Property.Kind = sizeof(T) == 1 ? (std::is_signed_v<T> ? EPropertyKind::Int8 : EPropertyKind::Byte)
					: sizeof(T) == 2           ? (std::is_signed_v<T> ? EPropertyKind::Int16 : EPropertyKind::UInt16)
					: sizeof(T) == 4           ? (std::is_signed_v<T> ? EPropertyKind::Int32 : EPropertyKind::UInt32)
											   : (std::is_signed_v<T> ? EPropertyKind::Int64 : EPropertyKind::UInt64);
				Property.Ops.ExportText = [](const FProperty&, const void* Value, FString& Out) {
					Out += FString(std::to_string(*static_cast<const T*>(Value)));
				};
				Property.Ops.ImportText = [](const FProperty&, const TCHAR* Text, void* Value) {
					int64 Signed = 0;
					uint64 Unsigned = 0;
					if (!ParseInteger(Text, static_cast<int64>(std::numeric_limits<T>::min()), static_cast<uint64>(std::numeric_limits<T>::max()),
							Signed, Unsigned, std::is_unsigned_v<T>))
					{
						return false;
					}
					*static_cast<T*>(Value) = std::is_unsigned_v<T> ? static_cast<T>(Unsigned) : static_cast<T>(Signed);
					return true;
				};
			}
			else if constexpr (std::is_floating_point_v<T>)
			{
				Property.Kind = sizeof(T) == 4 ? EPropertyKind::Float : EPropertyKind::Double;
				Property.Ops.ExportText = [](const FProperty&, const void* Value, FString& Out) {
					Out += FString::Printf(TEXT("%f"), static_cast<double>(*static_cast<const T*>(Value)));
				};
				Property.Ops.ImportText = [](const FProperty&, const TCHAR* Text, void* Value) {
					double Parsed = 0.0;
					if (!ParseDouble(Text, Parsed))
					{
						return false;
					}
					*static_cast<T*>(Value) = static_cast<T>(Parsed);
					return true;
				};
			}
			else if constexpr (std::is_same_v<T, FString>)
			{
				Property.Kind = EPropertyKind::Str;
				Property.Ops.ExportText = [](const FProperty&, const void* Value, FString& Out) { Out += *static_cast<const FString*>(Value); };
				Property.Ops.ImportText = [](const FProperty&, const TCHAR* Text, void* Value) {
					*static_cast<FString*>(Value) = UnquoteText(Text);
					return true;
				};
			}
			else if constexpr (std::is_same_v<T, FName>)
			{
				Property.Kind = EPropertyKind::Name;
				Property.Ops.ExportText = [](const FProperty&, const void* Value, FString& Out) { Out += static_cast<const FName*>(Value)->ToString(); };
				Property.Ops.ImportText = [](const FProperty&, const TCHAR* Text, void* Value) {
					*static_cast<FName*>(Value) = FName(UnquoteText(Text));
					return true;
				};
			}
			else if constexpr (std::is_same_v<T, FText>)
			{
				Property.Kind = EPropertyKind::Text;
				Property.Ops.ExportText = [](const FProperty&, const void* Value, FString& Out) { Out += static_cast<const FText*>(Value)->ToString(); };
				Property.Ops.ImportText = [](const FProperty&, const TCHAR* Text, void* Value) {
					*static_cast<FText*>(Value) = FText::FromString(UnquoteText(Text));
					return true;
				};
			}
			else if constexpr (CReflectedStruct<T>)
			{
				Property.Kind = EPropertyKind::Struct;
				Property.StructGetter = [] { return T::StaticStruct(); };
				Property.Ops.ExportText = [](const FProperty& Prop, const void* Value, FString& Out) { ExportStruct(Prop.GetStruct(), Value, Out); };
				Property.Ops.ImportText = [](const FProperty& Prop, const TCHAR* Text, void* Value) { return ImportStruct(Prop.GetStruct(), Text, Value); };
			}
			else if constexpr (CDynamicMulticastDelegate<T>)
			{
				Property.Kind = EPropertyKind::MulticastDelegate;
			}
			else if constexpr (std::is_pointer_v<T>)
			{
				Property.Kind = EPropertyKind::Object;
				if constexpr (requires(std::remove_pointer_t<T> * Pointer) { static_cast<const UObject*>(Pointer); })
				{
					Property.Ops.ExportText = [](const FProperty&, const void* Value, FString& Out) {
						ExportObjectPath(*static_cast<const T*>(Value), Out);
					};
					using FPointee = std::remove_cv_t<std::remove_pointer_t<T>>;
					Property.Ops.ImportText = [](const FProperty&, const TCHAR* Text, void* Value) {
						UObject* Object = nullptr;
						if (!ImportObjectPath(Text, FPointee::StaticClass(), Object))
						{
							return false;
						}
						*static_cast<T*>(Value) = static_cast<T>(Object);
						return true;
					};
				}
			}
			else
			{
				TSpecialTraits<T>::Describe(Property);
			}
		}
	};

	/** Engine value types that are not USTRUCTs here, and the containers. */
	template <typename T>
	struct TSpecialTraits
	{
		static void Describe(FProperty& Property) { Property.Kind = EPropertyKind::Opaque; }
	};

	template <typename T>
	struct TSpecialTraits<TWeakObjectPtr<T>>
	{
		static void Describe(FProperty& Property)
		{
			Property.Kind = EPropertyKind::WeakObject;
			Property.Ops.ExportText = [](const FProperty&, const void* Value, FString& Out) {
				ExportObjectPath(static_cast<const TWeakObjectPtr<T>*>(Value)->Get(), Out);
			};
		}
	};

	template <typename T>
	struct TSpecialTraits<TObjectPtr<T>>
	{
		static void Describe(FProperty& Property)
		{
			Property.Kind = EPropertyKind::Object;
			Property.Ops.ExportText = [](const FProperty&, const void* Value, FString& Out) {
				ExportObjectPath(static_cast<const TObjectPtr<T>*>(Value)->Get(), Out);
			};
			Property.Ops.ImportText = [](const FProperty&, const TCHAR* Text, void* Value) {
				UObject* Object = nullptr;
				if (!ImportObjectPath(Text, T::StaticClass(), Object))
				{
					return false;
				}
				*static_cast<TObjectPtr<T>*>(Value) = static_cast<T*>(Object);
				return true;
			};
		}
	};

	template <typename T>
	struct TSpecialTraits<TSubclassOf<T>>
	{
		static void Describe(FProperty& Property)
		{
			Property.Kind = EPropertyKind::Class;
			Property.Ops.ExportText = [](const FProperty&, const void* Value, FString& Out) {
				ExportObjectPath(static_cast<const TSubclassOf<T>*>(Value)->Get(), Out);
			};
		}
	};

	COREUOBJECT_API void DescribeLinearColor(FProperty& Property);
	COREUOBJECT_API void DescribeVector(FProperty& Property);
	COREUOBJECT_API void DescribeVector2D(FProperty& Property);
	COREUOBJECT_API void DescribeRotator(FProperty& Property);
	COREUOBJECT_API void DescribeTransform(FProperty& Property);
	COREUOBJECT_API void DescribeFrameRate(FProperty& Property);
	COREUOBJECT_API void DescribeFrameNumber(FProperty& Property);
	COREUOBJECT_API void DescribeGuid(FProperty& Property);

	template <>
	struct TSpecialTraits<FLinearColor>
	{
		static void Describe(FProperty& Property) { DescribeLinearColor(Property); }
	};
	template <>
	struct TSpecialTraits<FVector>
	{
		static void Describe(FProperty& Property) { DescribeVector(Property); }
	};
	template <>
	struct TSpecialTraits<FVector2D>
	{
		static void Describe(FProperty& Property) { DescribeVector2D(Property); }
	};
	template <>
	struct TSpecialTraits<FRotator>
	{
		static void Describe(FProperty& Property) { DescribeRotator(Property); }
	};
	template <>
	struct TSpecialTraits<FTransform>
	{
		static void Describe(FProperty& Property) { DescribeTransform(Property); }
	};
	template <>
	struct TSpecialTraits<FFrameRate>
	{
		static void Describe(FProperty& Property) { DescribeFrameRate(Property); }
	};
	template <>
	struct TSpecialTraits<FFrameNumber>
	{
		static void Describe(FProperty& Property) { DescribeFrameNumber(Property); }
	};
	template <>
	struct TSpecialTraits<FGuid>
	{
		static void Describe(FProperty& Property) { DescribeGuid(Property); }
	};

	template <typename T>
	struct TSpecialTraits<TArray<T>>
	{
		static void Describe(FProperty& Property)
		{
			Property.Kind = EPropertyKind::Array;
			Property.Inner = new FProperty(Property.GetFName(), FString(), Property.GetPropertyFlags() & (CPF_Config | CPF_Edit | CPF_EditConst),
				[](void* Element) { return Element; });
			TPropertyTraits<T>::Describe(*Property.Inner);
			Property.Ops.ArrayNum = [](const void* Array) { return static_cast<const TArray<T>*>(Array)->Num(); };
			Property.Ops.ArrayElement = [](void* Array, int32 Index) -> void* { return &(*static_cast<TArray<T>*>(Array))[Index]; };
			Property.Ops.ArrayAddDefaulted = [](void* Array) {
				static_cast<TArray<T>*>(Array)->AddDefaulted_GetRef();
				return static_cast<TArray<T>*>(Array)->Num() - 1;
			};
			Property.Ops.ArrayEmpty = [](void* Array) { static_cast<TArray<T>*>(Array)->Empty(); };
			Property.Ops.ExportText = [](const FProperty& Prop, const void* Value, FString& Out) {
				const TArray<T>& Array = *static_cast<const TArray<T>*>(Value);
				Out += TEXT("(");
				for (int32 Index = 0; Index < Array.Num(); ++Index)
				{
					if (Index > 0)
					{
						Out += TEXT(",");
					}
					FString Element;
					Prop.GetInner()->ExportTextItem(Element, &Array[Index]);
					ExportQuotedIfNeeded(Element, Out, Prop.GetInner()->GetKind() == EPropertyKind::Str);
				}
				Out += TEXT(")");
			};
		}
	};
} // namespace UE::Reflection

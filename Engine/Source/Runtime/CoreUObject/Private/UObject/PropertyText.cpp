#include "UObject/PropertyTraits.h"

#include <cerrno>
#include <cstdlib>

namespace UE::Reflection
{
	bool ParseBool(const TCHAR* Text, bool& Out)
	{
		const FString Value = FString(Text).TrimStartAndEnd();
		if (Value == TEXT("true") || Value == TEXT("1") || Value == TEXT("yes") || Value == TEXT("on"))
		{
			Out = true;
			return true;
		}
		if (Value == TEXT("false") || Value == TEXT("0") || Value == TEXT("no") || Value == TEXT("off"))
		{
			Out = false;
			return true;
		}
		return false;
	}

	bool ParseInteger(const TCHAR* Text, int64 Min, uint64 Max, int64& OutSigned, uint64& OutUnsigned, bool bUnsigned)
	{
		const FString Value = FString(Text).TrimStartAndEnd();
		if (Value.IsEmpty())
		{
			return false;
		}
		const char* Begin = *Value;
		char* End = nullptr;
		errno = 0;
		if (bUnsigned)
		{
			if (Value[0] == '-')
			{
				return false;
			}
			const unsigned long long Parsed = std::strtoull(Begin, &End, 10);
			if (errno != 0 || *End != '\0' || Parsed > Max)
			{
				return false;
			}
			OutUnsigned = Parsed;
			return true;
		}
		const long long Parsed = std::strtoll(Begin, &End, 10);
		if (errno != 0 || *End != '\0' || Parsed < Min || (Parsed > 0 && static_cast<uint64>(Parsed) > Max))
		{
			return false;
		}
		OutSigned = Parsed;
		return true;
	}

	bool ParseDouble(const TCHAR* Text, double& Out)
	{
		const FString Value = FString(Text).TrimStartAndEnd();
		if (Value.IsEmpty())
		{
			return false;
		}
		char* End = nullptr;
		const double Parsed = std::strtod(*Value, &End);
		if (*End != '\0' || std::isnan(Parsed))
		{
			return false;
		}
		Out = Parsed;
		return true;
	}

	void ExportQuotedIfNeeded(const FString& Value, FString& Out, bool bQuote)
	{
		if (!bQuote)
		{
			Out += Value;
			return;
		}
		Out += TEXT("\"");
		Out += Value.Replace(TEXT("\\"), TEXT("\\\\")).Replace(TEXT("\""), TEXT("\\\""));
		Out += TEXT("\"");
	}

	FString UnquoteText(const TCHAR* Text)
	{
		const FString Value(Text);
		if (Value.Len() < 2 || Value[0] != '"' || Value[Value.Len() - 1] != '"')
		{
			return Value;
		}
		FString Result;
		for (int32 Index = 1; Index < Value.Len() - 1; ++Index)
		{
			if (Value[Index] == '\\' && Index + 1 < Value.Len() - 1)
			{
				++Index;
			}
			Result += Value[Index];
		}
		return Result;
	}

	void ExportStruct(const UScriptStruct* Struct, const void* Value, FString& Out)
	{
		Out += TEXT("(");
		bool bFirst = true;
		for (const FProperty* Property : Struct->GetAllProperties())
		{
			if (!bFirst)
			{
				Out += TEXT(",");
			}
			bFirst = false;
			FString Member;
			Property->ExportTextItem(Member, Property->ContainerPtrToValuePtr(Value));
			Out += Property->GetName() + TEXT("=");
			ExportQuotedIfNeeded(Member, Out, Property->GetKind() == EPropertyKind::Str || Property->GetKind() == EPropertyKind::Text);
		}
		Out += TEXT(")");
	}

	namespace
	{
		/** Splits "(A=1,B=(X=2),C="a,b")" into its top-level Name=Value pairs. */
		bool SplitStructText(const FString& Text, TArray<std::pair<FString, FString>>& OutPairs)
		{
			const FString Trimmed = Text.TrimStartAndEnd();
			if (Trimmed.Len() < 2 || Trimmed[0] != '(' || Trimmed[Trimmed.Len() - 1] != ')')
			{
				return false;
			}
			const FString Body = Trimmed.Mid(1, Trimmed.Len() - 2);
			int32 Depth = 0;
			bool bInQuotes = false;
			FString Current;
			TArray<FString> Parts;
			for (int32 Index = 0; Index < Body.Len(); ++Index)
			{
				const TCHAR Character = Body[Index];
				if (bInQuotes && Character == '\\' && Index + 1 < Body.Len())
				{
					Current += Character;
					Current += Body[++Index];
					continue;
				}
				if (Character == '"')
				{
					bInQuotes = !bInQuotes;
				}
				else if (!bInQuotes && Character == '(')
				{
					++Depth;
				}
				else if (!bInQuotes && Character == ')')
				{
					--Depth;
				}
				if (!bInQuotes && Depth == 0 && Character == ',')
				{
					Parts.Add(Current);
					Current.Empty();
					continue;
				}
				Current += Character;
			}
			if (bInQuotes || Depth != 0)
			{
				return false;
			}
			if (!Current.TrimStartAndEnd().IsEmpty())
			{
				Parts.Add(Current);
			}
			for (const FString& Part : Parts)
			{
				FString Name;
				FString Value;
				if (!Part.Split(TEXT("="), &Name, &Value))
				{
					return false;
				}
				OutPairs.Add({Name.TrimStartAndEnd(), Value.TrimStartAndEnd()});
			}
			return true;
		}
	} // namespace

	bool ImportStruct(const UScriptStruct* Struct, const TCHAR* Text, void* Value)
	{
		TArray<std::pair<FString, FString>> Pairs;
		if (!Struct || !SplitStructText(FString(Text), Pairs))
		{
			return false;
		}
		for (const auto& [Name, MemberText] : Pairs)
		{
			const FProperty* Property = Struct->FindPropertyByName(FName(Name));
			if (!Property || !Property->ImportText(*MemberText, Property->ContainerPtrToValuePtr(Value)))
			{
				return false;
			}
		}
		return true;
	}

	namespace
	{
		/** "/Script/Module.Class" for classes, "Outer.Name" for objects, as the engine writes paths. */
		FString PathName(const UObject& Object)
		{
			if (const UObject* Outer = Object.GetOuter())
			{
				return PathName(*Outer) + TEXT(".") + Object.GetName();
			}
			const UClass* Class = Object.GetClass();
			if (Class && !Class->GetPackageName().IsEmpty() && Object.HasAnyFlags(RF_ClassDefaultObject))
			{
				return Class->GetPackageName() + TEXT(".") + Object.GetName();
			}
			return Object.GetName();
		}
	} // namespace

	void ExportObjectPath(const UObject* Object, FString& Out)
	{
		Out += Object ? PathName(*Object) : FString(TEXT("None"));
	}

	namespace
	{
		/** Writes and reads "(Name=Value,...)" for a fixed list of numeric members. */
		template <typename T, typename MemberType, int32 Count>
		struct TNumericStructText
		{
			const TCHAR* Names[Count];
			MemberType T::*Members[Count];
		};

		template <typename T, typename MemberType, int32 Count>
		void ExportNumeric(const TNumericStructText<T, MemberType, Count>& Layout, const T& Value, FString& Out)
		{
			Out += TEXT("(");
			for (int32 Index = 0; Index < Count; ++Index)
			{
				Out += FString::Printf(TEXT("%s%s=%f"), Index > 0 ? "," : "", Layout.Names[Index], static_cast<double>(Value.*Layout.Members[Index]));
			}
			Out += TEXT(")");
		}

		template <typename T, typename MemberType, int32 Count>
		bool ImportNumeric(const TNumericStructText<T, MemberType, Count>& Layout, const TCHAR* Text, T& Value)
		{
			TArray<std::pair<FString, FString>> Pairs;
			if (!SplitStructText(FString(Text), Pairs))
			{
				return false;
			}
			T Parsed = Value;
			for (const auto& [Name, MemberText] : Pairs)
			{
				bool bKnown = false;
				for (int32 Index = 0; Index < Count; ++Index)
				{
					double Number = 0.0;
					if (Name == Layout.Names[Index])
					{
						if (!ParseDouble(*MemberText, Number))
						{
							return false;
						}
						Parsed.*Layout.Members[Index] = static_cast<MemberType>(Number);
						bKnown = true;
					}
				}
				if (!bKnown)
				{
					return false;
				}
			}
			Value = Parsed;
			return true;
		}

		const TNumericStructText<FLinearColor, float, 4> LinearColorLayout{
			{TEXT("R"), TEXT("G"), TEXT("B"), TEXT("A")}, {&FLinearColor::R, &FLinearColor::G, &FLinearColor::B, &FLinearColor::A}};
		const TNumericStructText<FVector, double, 3> VectorLayout{{TEXT("X"), TEXT("Y"), TEXT("Z")}, {&FVector::X, &FVector::Y, &FVector::Z}};
		const TNumericStructText<FVector2D, double, 2> Vector2DLayout{{TEXT("X"), TEXT("Y")}, {&FVector2D::X, &FVector2D::Y}};
		const TNumericStructText<FRotator, double, 3> RotatorLayout{
			{TEXT("Pitch"), TEXT("Yaw"), TEXT("Roll")}, {&FRotator::Pitch, &FRotator::Yaw, &FRotator::Roll}};
		const TNumericStructText<FFrameRate, int32, 2> FrameRateLayout{
			{TEXT("Numerator"), TEXT("Denominator")}, {&FFrameRate::Numerator, &FFrameRate::Denominator}};
		const TNumericStructText<FFrameNumber, int32, 1> FrameNumberLayout{{TEXT("Value")}, {&FFrameNumber::Value}};

		template <typename T, typename MemberType, int32 Count>
		void DescribeNumeric(FProperty& Property, const TNumericStructText<T, MemberType, Count>& Layout)
		{
			static const TNumericStructText<T, MemberType, Count>* Stored = nullptr;
			Stored = &Layout;
			Property.Kind = EPropertyKind::Struct;
			Property.ElementSize = sizeof(T);
			Property.Ops.Identical = &IdenticalValues<T>;
			Property.Ops.ExportText = [](const FProperty&, const void* Value, FString& Out) { ExportNumeric(*Stored, *static_cast<const T*>(Value), Out); };
			Property.Ops.ImportText = [](const FProperty&, const TCHAR* Text, void* Value) { return ImportNumeric(*Stored, Text, *static_cast<T*>(Value)); };
		}
	} // namespace

	void DescribeLinearColor(FProperty& Property) { DescribeNumeric(Property, LinearColorLayout); }
	void DescribeVector(FProperty& Property) { DescribeNumeric(Property, VectorLayout); }
	void DescribeVector2D(FProperty& Property) { DescribeNumeric(Property, Vector2DLayout); }
	void DescribeRotator(FProperty& Property) { DescribeNumeric(Property, RotatorLayout); }
	void DescribeFrameRate(FProperty& Property) { DescribeNumeric(Property, FrameRateLayout); }
	void DescribeFrameNumber(FProperty& Property) { DescribeNumeric(Property, FrameNumberLayout); }

	void DescribeTransform(FProperty& Property)
	{
		Property.Kind = EPropertyKind::Struct;
		Property.ElementSize = sizeof(FTransform);
		Property.Ops.Identical = [](const void* A, const void* B) {
			return static_cast<const FTransform*>(A)->Equals(*static_cast<const FTransform*>(B), 0.0);
		};
		Property.Ops.ExportText = [](const FProperty&, const void* Value, FString& Out) {
			const FTransform& Transform = *static_cast<const FTransform*>(Value);
			const FQuat& Q = Transform.GetRotation();
			const FVector& T = Transform.GetTranslation();
			const FVector& S = Transform.GetScale3D();
			Out += FString::Printf(TEXT("(Rotation=(X=%f,Y=%f,Z=%f,W=%f),Translation=(X=%f,Y=%f,Z=%f),Scale3D=(X=%f,Y=%f,Z=%f))"), Q.X, Q.Y,
				Q.Z, Q.W, T.X, T.Y, T.Z, S.X, S.Y, S.Z);
		};
	}

	void DescribeGuid(FProperty& Property)
	{
		Property.Kind = EPropertyKind::Struct;
		Property.ElementSize = sizeof(FGuid);
		Property.Ops.Identical = &IdenticalValues<FGuid>;
		Property.Ops.ExportText = [](const FProperty&, const void* Value, FString& Out) { Out += static_cast<const FGuid*>(Value)->ToString(); };
	}
} // namespace UE::Reflection

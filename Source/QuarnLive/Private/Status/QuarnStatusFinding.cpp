#include "Status/QuarnStatusFinding.h"

namespace QuarnStatusFinding
{
	FQuarnStatus MakeStatus(const FLinearColor& Color, const FString& Message)
	{
		FQuarnStatus Status;
		Status.Color = Color;
		Status.Message = Message;
		return Status;
	}

	FQuarnStatusFinding First(const TArray<FQuarnStatusFinding>& Findings)
	{
		for (const FQuarnStatusFinding& Finding : Findings)
		{
			if (Finding)
			{
				return Finding;
			}
		}
		return Passed();
	}

	bool Report(FQuarnStatus& LegStatus, const FQuarnStatusFinding& Finding)
	{
		if (!Finding)
		{
			return false;
		}
		LegStatus = Finding.GetValue();
		return true;
	}
} // namespace QuarnStatusFinding

// Video leg: cards, formats, cameras, media assets and signals.

#include "QuarnStatusSubsystem.h"

void UQuarnStatusSubsystem::UpdateVideoStatus()
{
	VideoStatus = FQuarnStatus();
}

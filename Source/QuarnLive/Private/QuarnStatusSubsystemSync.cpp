// Sync leg: genlock, timecode provider and timed data.

#include "QuarnStatusSubsystem.h"

void UQuarnStatusSubsystem::UpdateSyncStatus()
{
	SyncStatus = FQuarnStatus();
}

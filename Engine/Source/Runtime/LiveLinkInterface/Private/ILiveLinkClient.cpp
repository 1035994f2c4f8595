#include "ILiveLinkClient.h"

FName ILiveLinkClient::ModularFeatureName(TEXT("LiveLinkClient"));

#include "Interfaces/IPv4/IPv4Address.h"

const FIPv4Address FIPv4Address::Any(0, 0, 0, 0);

FString FIPv4Address::ToString() const
{
	return FString::Printf(TEXT("%u.%u.%u.%u"), A, B, C, D);
}

// The follower address list: the settings' texts, the validated addresses, and the server's copy.

#include "Misc/ScopeLock.h"
#include "QuarnLiveSettings.h"
#include "QuarnMultiEngineSubsystem.h"

#include <cstdlib>

bool UQuarnMultiEngineSubsystem::ParseIPs(const FString& Text, FIPv4Address& OutAddress) const
{
	TArray<FString> Parts;
	Text.ParseIntoArray(Parts, TEXT("."), false);
	if (Parts.Num() != 4)
	{
		return false;
	}
	uint8 Octets[4];
	for (int32 Index = 0; Index < 4; ++Index)
	{
		const FString& Part = Parts[Index];
		if (!Part.IsNumeric())
		{
			return false;
		}
		// Out-of-range parts keep their low eight bits (1.2.3.300 is 1.2.3.44, -1 is 255), as the
		// engine's integer conversion gives them; they are accepted rather than rejected.
		Octets[Index] = static_cast<uint8>(std::atoi(*Part));
	}
	OutAddress = FIPv4Address(Octets[0], Octets[1], Octets[2], Octets[3]);
	return true;
}

void UQuarnMultiEngineSubsystem::SetOtherMultiEngineIps(TArray<FString> Ips)
{
	OtherMultiEngineIps = Ips;
	TArray<FIPv4Address> Addresses;
	for (const FString& Text : Ips)
	{
		FIPv4Address Address;
		if (ParseIPs(Text, Address))
		{
			Addresses.AddUnique(Address);
		}
	}
	FScopeLock Lock(&FollowerAddressesLock);
	FollowerAddresses = MoveTemp(Addresses);
}

TArray<FString> UQuarnMultiEngineSubsystem::GetFollowersIpAddresses()
{
	return OtherMultiEngineIps;
}

void UQuarnMultiEngineSubsystem::AddIPAddress(FString Address)
{
	UQuarnLiveSettings* Settings = UQuarnLiveSettings::Get();
	if (!Settings)
	{
		return;
	}
	FIPv4Address Parsed;
	if (!ParseIPs(Address, Parsed))
	{
		return;
	}
	const FString Canonical = Parsed.ToString();
	if (!Settings->OtherMultiEngineIps.ContainsByPredicate([&Canonical](const FString& Entry) { return Entry.Equals(Canonical, ESearchCase::IgnoreCase); }))
	{
		Settings->OtherMultiEngineIps.Add(Canonical);
	}
	Settings->SaveConfig();
}

bool UQuarnMultiEngineSubsystem::getBroadcastIpsCSV(quarn::QuarnString& Ips)
{
	if (!CanBroadcast() || !IsValid(this))
	{
		return false;
	}
	TArray<FIPv4Address> Addresses;
	{
		FScopeLock Lock(&FollowerAddressesLock);
		Addresses = FollowerAddresses;
	}
	if (Addresses.IsEmpty())
	{
		return false;
	}
	FString Text;
	for (const FIPv4Address& Address : Addresses)
	{
		Text += Address.ToString() + TEXT(",");
	}
	Text = Text.LeftChop(1);
	Ips = *Text;
	return true;
}

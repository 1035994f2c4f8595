#include "QuarnEightBytes.h"

uint64 FEightBytes::ToUInt64() const
{
	const uint8 Bytes[8] = {byte1, byte2, byte3, byte4, byte5, byte6, byte7, byte8};
	uint64 Value = 0;
	for (int32 Index = 7; Index >= 0; --Index)
	{
		Value = (Value << 8) | Bytes[Index];
	}
	return Value;
}

FEightBytes FEightBytes::FromUInt64(uint64 Value)
{
	FEightBytes Bytes;
	uint8* Fields[8] = {&Bytes.byte1, &Bytes.byte2, &Bytes.byte3, &Bytes.byte4, &Bytes.byte5, &Bytes.byte6, &Bytes.byte7, &Bytes.byte8};
	for (uint8* Field : Fields)
	{
		*Field = static_cast<uint8>(Value & 0xFF);
		Value >>= 8;
	}
	return Bytes;
}

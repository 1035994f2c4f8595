#pragma once

class UClass;
class UScriptStruct;
class UEnum;

/** The reflected identity of a type; the header tool defines the specialisations. */
template <typename ClassType>
UClass* StaticClass();
template <typename StructType>
UScriptStruct* StaticStruct();
template <typename EnumType>
UEnum* StaticEnum();

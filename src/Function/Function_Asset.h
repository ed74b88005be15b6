#pragma once
// asset_get_index and asset_get_type (part of the "Resource.." group): the
// index and the kind of an asset found by its exact name.
void InitAssetFunctions();

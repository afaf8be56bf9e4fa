#pragma once

// The product's web addresses, shared by the about box's links and the
// "Home page" command.
inline constexpr const char* kHomePageAddress = "https://www.tarvine.example/";
inline constexpr const char* kOrderPageAddress = "https://www.tarvine.example/order/";
inline constexpr const char* kSupportPageAddress = "https://www.tarvine.example/support/";

#pragma once
// Texts that both the Qt-free core and the window show the user, defined once here so the
// device link and the attention dialog cannot drift apart.

inline constexpr const char* AttentionTitle = "Attention!";
inline constexpr const char* DisconnectionText = "The keyboard is disconnection\xEF\xBC\x8CPlease connect!";

// Typed text folded to the letters codes and places are written with.
#pragma once

#include <string>
#include <string_view>

// Folding of UTF-8 text typed by a user to the letters the fiscal code and the
// place table are written with. Latin-1 and Latin Extended-A letters fold to
// their base letter (Ç → C, Ł → L, Ø → O), Æ → AE, Œ → OE, Ĳ → IJ, ß → SS,
// Þ → TH, Ð → D; a–z are upper-cased. Bytes that are not valid UTF-8 are
// dropped; combining marks are dropped, so a decomposed È reads as E. What a
// word processor or a web page types for a plain character reads as that
// character: curly apostrophes and quotes (’ ‘ “ ”), an accent typed on its
// own (` ´) as an apostrophe, a space that does not break, a typographic
// hyphen or the en dash.

// Surnames and names: the folded letters, upper case, with every ASCII
// character that is not a letter kept as it is (the computation skips them
// anyway); any other character is dropped.
std::string FoldNameLetters(std::string_view utf8);
// For the computation, which reads ASCII in any case: ASCII text as it is,
// other text folded into `folded`; no copy for most names.
std::string_view FoldNameLettersIfNeeded(std::string_view utf8, std::string& folded);

// A typed municipality, to be compared with the place table's names: folded
// as above, except that an accented vowel at the end of a word reads as the
// vowel and an apostrophe (Forlì → FORLI'), as the table writes it. A word
// ends at anything that is not a letter. Every character that is not a
// letter is kept as it is, whatever its code.
std::string FoldPlaceName(std::string_view utf8);

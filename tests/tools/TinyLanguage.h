// A small, clean language for the tool's tests: every letter has a rule, the number words and
// expansions convert, the dictionary is grouped, and every phoneme is an eSpeak NG English one.
#pragma once

#include <string>
#include <vector>

#include "testkit/TestKit.h"

namespace parlan::testkit {

inline LanguageFiles TinyLanguage() {
  LanguageFiles f;
  f.Config = {"GENDER=Both",
              "SAPINO=4",
              "UID=gmw/en-US",
              "LANGID=en-us",
              "SPACE=1",
              "MALE=English (America)",
              "FEMALE=English (America) Female"};
  f.Normalisation = {"Tiny normalisation",
                     "LOCALE",
                     "1033",
                     "CHARSET",
                     "0",
                     "NO",
                     "zero",
                     "one",
                     "two",
                     "three",
                     "four",
                     "five",
                     "six",
                     "seven",
                     "eight",
                     "nine",
                     "NOSTR",
                     "0",
                     "1",
                     "2",
                     "3",
                     "4",
                     "5",
                     "6",
                     "7",
                     "8",
                     "9",
                     "ABBR",
                     "Dr --> doctor",
                     "Mr --> mister",
                     "& --> and **",
                     "ABBREND",
                     "ends, symbols, ignored, decimal point, dot word, decimal point word:",
                     "!?;:",
                     ",",
                     "()\"",
                     ".",
                     "dot",
                     "point"};
  f.Exceptions = {"Tiny exceptions", "EXCEPT", "one --> w'Vn", "the --> D@", "two --> t'u:", "END"};
  f.Rules = {"Tiny rules", "LANGUAGE=Tiny", "WILD CARDS", "' front vowels", "1 e,i,y",
             "2 a,o,u",    "RULES",         "[a]=a",      "[b]=b",          "[ch]=tS",
             "[c]1=s",     "[c]=k",         "[d]=d",      "_,t,h[e]_=@",    "[e]=E",
             "[f]=f",      "[g]=g",         "[h]=h",      "[i]=I",          "[j]=dZ",
             "[k]=k",      "[l]=l",         "[m]=m",      "[n]=n",          "[o]=0",
             "[p]=p",      "[q]=k",         "[r]=r",      "[s]=s",          "[th]=T",
             "[t]=t",      "[u]=V",         "[v]=v",      "[w]=w",          "[x]=k s",
             "[y]=j",      "[z]=z",         "END"};
  return f;
}

}  // namespace parlan::testkit

@echo off
rem Compiles a C++ source file with the first command-line compiler it finds:
rem Borland C++ 5.5 (bcc32), then Microsoft C++ (cl), GCC (g++) and Clang (clang++) on the PATH.
rem Tavrin starts it as: compile.bat hello.cpp
setlocal
cd /d "%~dp0"
set "SRC=%~1"
if "%SRC%"=="" set "SRC=hello.cpp"
set "LOG=%TEMP%\Tavrin-compile.log"
echo Compiling %SRC% in %CD%
echo source=%SRC%> "%LOG%"
echo folder=%CD%>> "%LOG%"
if not exist "%SRC%" goto nosource

set "CC="
if exist "C:\Borland\BCC55\Bin\bcc32.exe" set "CC=C:\Borland\BCC55\Bin\bcc32.exe"
if defined CC goto bcc
for %%X in (bcc32.exe) do if not "%%~$PATH:X"=="" set "CC=%%~$PATH:X"
if defined CC goto bcc
for %%X in (cl.exe) do if not "%%~$PATH:X"=="" set "CC=%%~$PATH:X"
if defined CC goto msvc
for %%X in (g++.exe) do if not "%%~$PATH:X"=="" set "CC=%%~$PATH:X"
if defined CC goto gcc
for %%X in (clang++.exe) do if not "%%~$PATH:X"=="" set "CC=%%~$PATH:X"
if defined CC goto gcc
goto nocompiler

:bcc
echo Using Borland C++: %CC%
echo compiler=%CC%>> "%LOG%"
"%CC%" "%SRC%"
goto done

:msvc
echo Using Microsoft C++: %CC%
echo compiler=%CC%>> "%LOG%"
"%CC%" /nologo /EHsc "%SRC%"
goto done

:gcc
echo Using %CC%
echo compiler=%CC%>> "%LOG%"
"%CC%" -o "%~n1.exe" "%SRC%"
goto done

:nosource
echo Cannot find the source file "%SRC%" in %CD%.
echo result=no source>> "%LOG%"
goto end

:nocompiler
echo No C++ compiler was found.
echo Install Borland C++ 5.5 in C:\Borland\BCC55, or put bcc32, cl, g++ or clang++ on the PATH.
echo result=no compiler>> "%LOG%"
goto end

:done
if errorlevel 1 (
  echo Compilation failed.
  echo result=failed>> "%LOG%"
) else (
  echo Compilation succeeded.
  echo result=ok>> "%LOG%"
)

:end
if not defined TAVRIN_NOPAUSE pause
endlocal

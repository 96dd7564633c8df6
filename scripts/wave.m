% wave.m - plots the three output waveforms of a sitewave run.
%
% Run it in the directory that holds wave1.csv (MATLAB or GNU Octave):
%   wave
% Each component (H1, H2, V1) is drawn against time in its own panel,
% labelled with the column titles of the file, shown as written (an underscore
% in a title is not a subscript). Fields that did not fit their width (written
% as asterisks) are left out of the plot.

fid = fopen('wave1.csv', 'r');
if fid < 0
  error('wave.m: there is no wave1.csv in %s', pwd);
end
titles = strtrim(strsplit(fgetl(fid), ','));
columns = textscan(fid, '%s %s %s %s', 'Delimiter', ',');
fclose(fid);

t = str2double(columns{1});
figure('Name', 'sitewave: wave1.csv');
for c = 1:3
  subplot(3, 1, c);
  plot(t, str2double(columns{c + 1}));
  grid on;
  ylabel(titles{c + 1}, 'Interpreter', 'none');
  if c == 1
    title('Ground-surface motion (wave1.csv)', 'Interpreter', 'none');
  end
end
xlabel([titles{1} ' (s)'], 'Interpreter', 'none');

-- description: Customers in a city, picked from the customers' cities or typed (SSQLPICKW)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, name, city, country
FROM customers
WHERE city = ?SSQLPICKW_City||"{SELECT DISTINCT city FROM customers ORDER BY city}"?
ORDER BY name
